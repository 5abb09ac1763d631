#include "normimportcommand.h"
#include "progressshare.h"

#include "normimport.h"

#include <QTextStream>

#include <algorithm>

namespace norms {

int runImportCommand(const QStringList &files, const QString &databasePath, QTextStream &out,
                     QTextStream &err)
{
    if (files.isEmpty()) {
        err << QStringLiteral("Не указаны файлы базы норм для загрузки.") << Qt::endl;
        return 1;
    }
    // A line per tenth of the way keeps a log readable however large the files are.
    int tenthsShown = 0;
    const auto progress = [&](const ImportStatus &status) {
        const int tenths = progressShare(status, 10);
        if (tenths <= tenthsShown)
            return;
        tenthsShown = tenths;
        out << QStringLiteral("%1: %2 %, норм: %3")
                   .arg(status.fileName, QString::number(tenths * 10),
                        QString::number(status.norms))
            << Qt::endl;
    };
    const ImportResult result = importFiles(databasePath, files, progress);
    if (!result.movedAside.isEmpty())
        out << movedAsideText(result, databasePath) << Qt::endl;
    if (result.outcome != ImportResult::Outcome::Imported) {
        err << result.reason << Qt::endl;
        return 1;
    }
    out << summaryText(result, databasePath) << Qt::endl;
    return 0;
}

} // namespace norms
