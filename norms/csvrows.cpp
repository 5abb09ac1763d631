#include "tablerows.h"
#include "windows1251.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

// A price list saved from the workbook as CSV: by a Russian Excel with ';' between cells and in
// Windows-1251, by others with ',' and in UTF-8. A text with the separator, a quote or a line
// break in it stands in quotes.
namespace norms::table {

namespace {

// Whether the bytes read as UTF-8; a character cut at their end does not count against them.
bool isUtf8(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString decoded = decoder.decode(bytes);
    return !decoder.hasError();
}

// The separator is what follows the header «Код ресурса, услуги» (itself holding a comma), or
// failing that ';' when the beginning has one.
QChar separatorOf(const QString &beginning)
{
    const QString header = QStringLiteral("Код ресурса, услуги");
    qsizetype at = beginning.indexOf(header, 0, Qt::CaseInsensitive);
    if (at >= 0) {
        at += header.size();
        if (at < beginning.size() && beginning.at(at) == u'"')
            ++at;
        if (at < beginning.size() && (beginning.at(at) == u';' || beginning.at(at) == u','))
            return beginning.at(at);
    }
    return beginning.contains(u';') ? u';' : u',';
}

// Splits a line into cells; false while a quoted cell runs on past its end.
bool splitLine(const QString &line, QChar separator, QStringList &cells)
{
    cells.clear();
    QString cell;
    bool quoted = false;
    bool fresh = true;
    for (qsizetype at = 0; at < line.size(); ++at) {
        const QChar c = line.at(at);
        if (quoted) {
            if (c != u'"')
                cell += c;
            else if (at + 1 < line.size() && line.at(at + 1) == u'"')
                cell += line.at(++at);
            else
                quoted = false;
        } else if (c == u'"' && fresh) {
            quoted = true;
            fresh = false;
        } else if (c == separator) {
            cells.append(cell);
            cell.clear();
            fresh = true;
        } else {
            cell += c;
            fresh = false;
        }
    }
    cells.append(cell);
    return !quoted;
}

} // namespace

ReadResult readCsv(const QString &path, RowSink &sink, std::atomic<qint64> *bytesRead)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {ReadResult::Outcome::Failed,
                QStringLiteral("Не удалось открыть файл «%1».").arg(path)};
    QByteArray beginning = file.peek(64 * 1024);
    const bool bom = beginning.startsWith("\xEF\xBB\xBF");
    if (bom) {
        file.read(3);
        beginning.remove(0, 3);
    }
    const bool utf8 = bom || isUtf8(beginning);
    const auto decode = [utf8](const QByteArray &bytes) {
        return utf8 ? QString::fromUtf8(bytes) : fromWindows1251(bytes);
    };
    const QChar separator = separatorOf(decode(beginning));
    QStringList cells;
    QString line;
    qint64 number = 0;
    qint64 first = 0;
    while (!file.atEnd()) {
        QByteArray bytes = file.readLine();
        ++number;
        while (bytes.endsWith('\n') || bytes.endsWith('\r'))
            bytes.chop(1);
        if (line.isEmpty())
            first = number;
        else
            line += u'\n';
        line += decode(bytes);
        if (!splitLine(line, separator, cells) && !file.atEnd())
            continue;
        line.clear();
        if (bytesRead)
            bytesRead->store(file.pos(), std::memory_order_relaxed);
        if (!sink.row(first, cells))
            return {ReadResult::Outcome::Stopped, {}};
    }
    if (file.error() != QFileDevice::NoError)
        return {ReadResult::Outcome::Failed,
                QStringLiteral("Не удалось дочитать файл «%1» после строки %2.")
                    .arg(QFileInfo(path).fileName(), QString::number(number))};
    return {ReadResult::Outcome::Read, {}};
}

ReadResult readTable(const QString &path, RowSink &sink, std::atomic<qint64> *bytesRead,
                     const Limits &limits)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {ReadResult::Outcome::Failed,
                QStringLiteral("Не удалось открыть файл «%1».").arg(path)};
    const QByteArray magic = file.peek(8);
    const QString name = QFileInfo(path).fileName();
    if (magic.isEmpty())
        return {ReadResult::Outcome::Failed, QStringLiteral("Файл «%1» пуст.").arg(name)};
    // The workbook format before 2007 is another kind of file altogether.
    if (magic.startsWith("\xD0\xCF\x11\xE0"))
        return {ReadResult::Outcome::Failed,
                QStringLiteral("Файл «%1» — книга Excel старого формата (.xls). Сохраните ее как "
                               "книгу .xlsx или как CSV и загрузите снова.")
                    .arg(name)};
    file.close();
    if (magic.startsWith("PK"))
        return readXlsx(path, sink, bytesRead, limits);
    return readCsv(path, sink, bytesRead);
}

} // namespace norms::table
