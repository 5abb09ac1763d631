#include "normwords.h"

namespace norms {

QString foldedWords(const QString &text)
{
    QString folded = text.toLower();
    folded.replace(u'ё', u'е');
    return folded;
}

} // namespace norms
