#pragma once

#include <QString>
#include <QStringList>

class QTextStream;

namespace norms {

// `merilon --import-norms FILE|FOLDER...` on a terminal: imports the files into the database,
// printing a line at each tenth of the bytes read, 100 % once the import has committed, and one
// summary line last to out, or the reason to err.
// Returns the exit code.
int runImportCommand(const QStringList &files, const QString &databasePath, QTextStream &out,
                     QTextStream &err);

} // namespace norms
