#pragma once

#include <QString>
#include <QStringList>

#include <atomic>

// A table read row by row from a workbook (.xlsx) or a CSV file, without holding the whole of it:
// what the price lists are read from. Each row is handed on as its cells' texts, by column.
namespace norms::table {

class RowSink
{
public:
    virtual ~RowSink() = default;
    // number is the row's number in the sheet or the line's in the file, from 1; cells are by
    // column, from the first, empty where a cell is. False stops the reading.
    virtual bool row(qint64 number, const QStringList &cells) = 0;
};

struct ReadResult
{
    enum class Outcome
    {
        Read,
        Stopped, // the sink said stop
        Failed,
    };
    Outcome outcome = Outcome::Failed;
    QString reason; // why failed, in Russian, naming the file and the row where one is known
};

// How much a workbook may inflate to: a damaged or hostile file (a "zip bomb") is refused once
// this much of it has been read, long before it fills the memory or the disk.
struct Limits
{
    qint64 sheetBytes = qint64(1) << 30;           // the sheet's XML, streamed
    qint64 sharedStringsBytes = qint64(128) << 20; // the shared texts, which are kept
    qint64 sharedStrings = qint64(4) << 20;        // their number
};

// Reads the first sheet of a workbook, or the CSV file (';' or ',' between cells, UTF-8 or
// Windows-1251), telling the kind by the file's first bytes. bytesRead follows the file.
ReadResult readTable(const QString &path, RowSink &sink, std::atomic<qint64> *bytesRead = nullptr,
                     const Limits &limits = {});
ReadResult readXlsx(const QString &path, RowSink &sink, std::atomic<qint64> *bytesRead = nullptr,
                    const Limits &limits = {});
ReadResult readCsv(const QString &path, RowSink &sink, std::atomic<qint64> *bytesRead = nullptr);

} // namespace norms::table
