#include "normwords.h"

#include <QRegularExpression>
#include <QStringList>

namespace norms {

QString foldedWords(const QString &text)
{
    QString folded = text.toLower();
    folded.replace(u'ё', u'е');
    return folded;
}

QString wordBeginningsQuery(const QString &text)
{
    static const QRegularExpression separators(QStringLiteral("[^\\p{L}\\p{N}]+"));
    QStringList words;
    for (const QString &word : foldedWords(text).split(separators, Qt::SkipEmptyParts))
        words.append(u'"' + word + QStringLiteral("\"*"));
    return words.join(u' ');
}

} // namespace norms
