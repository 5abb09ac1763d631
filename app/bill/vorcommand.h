#pragma once

#include <QString>

class QTextStream;

// The bill of quantities on the terminal: a bill file written as a «.gge» for expertise, and a
// «.gge» read into a bill file.
namespace vorcommand {

// The program as a «.gge» names it.
QString softName();

// Exit codes: 0 written, 1 refused (what is missing or wrong is said on err).
int exportVor(const QString &billPath, const QString &vorPath, const QString &version,
              QTextStream &out, QTextStream &err);
int importVor(const QString &vorPath, const QString &billPath, QTextStream &out, QTextStream &err);

} // namespace vorcommand
