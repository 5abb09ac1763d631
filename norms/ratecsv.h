#pragma once

#include "ratetables.h"

#include <QByteArray>
#include <QString>

#include <optional>

// A table of overhead or profit norms as a CSV of the columns the program ships it in:
// «item;name;territory;mprks;rks» (НР) or «item;name;percent» (СП), one item a line, in UTF-8
// or Windows-1251, a point or a comma before the decimals.
namespace norms::rates {

struct CsvReading
{
    std::optional<Edition> edition; // the kind and the rows; none when refused
    QString refusal;                // why, in Russian, naming the file and the line
};

CsvReading readCsv(const QByteArray &bytes, const QString &fileName);

// Bytes that are no valid UTF-8 read as Windows-1251, which is what a table saved on Windows
// is in; a byte order mark is dropped.
QString decodeText(const QByteArray &bytes);

} // namespace norms::rates
