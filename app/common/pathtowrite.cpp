#include "pathtowrite.h"

#include "errorreport.h"

#include <QDir>
#include <QFileInfo>

QString pathToWrite(const QString &chosen, const QString &suffix, QWidget *parent)
{
    const QString ending = u'.' + suffix;
    if (chosen.isEmpty() || chosen.endsWith(ending, Qt::CaseInsensitive))
        return chosen;
    const QString path = chosen + ending;
    if (QFileInfo::exists(path) &&
        !errorreport::askToGoAhead(QStringLiteral("Файл «%1» уже существует. Заменить его?")
                                       .arg(QDir::toNativeSeparators(path)),
                                   QStringLiteral("Заменить"), QStringLiteral("Отмена"), parent))
        return QString();
    return path;
}
