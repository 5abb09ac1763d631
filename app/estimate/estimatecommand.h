#pragma once

#include <QString>

class QTextStream;

// The local estimate on the terminal: a bill file computed against the norm base and written
// as a «.gge» for expertise.
namespace estimatecommand {

// Exit codes: 0 written, 1 refused (what is missing or wrong is said on err, line by line, and
// nothing is written).
int exportLsr(const QString &billPath, const QString &lsrPath, const QString &databasePath,
              const QString &version, QTextStream &out, QTextStream &err);

} // namespace estimatecommand
