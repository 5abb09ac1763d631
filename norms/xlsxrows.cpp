#include "tablerows.h"

#include <unzip.h>

#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QXmlStreamReader>

#include <algorithm>
#include <memory>
#include <vector>

// A workbook is a zip of XML parts: xl/workbook.xml names the sheets, its relationships say
// which part holds each, and the texts of the cells stand once in xl/sharedStrings.xml, each
// cell giving its text's index, or inline in the cell. minizip inflates the parts; the sheet is
// streamed row by row, the shared texts kept, as every row may point at any of them.
namespace norms::table {

namespace {

// minizip reads the file through QFile, so that any name Qt opens opens, and the file's position
// tells the progress.
voidpf ZCALLBACK openFile(voidpf, const void *file, int)
{
    return const_cast<void *>(file);
}

uLong ZCALLBACK readFile(voidpf, voidpf stream, void *buffer, uLong size)
{
    const qint64 read =
        static_cast<QFile *>(stream)->read(static_cast<char *>(buffer), qint64(size));
    return read < 0 ? 0 : uLong(read);
}

uLong ZCALLBACK writeFile(voidpf, voidpf, const void *, uLong)
{
    return 0;
}

ZPOS64_T ZCALLBACK tellFile(voidpf, voidpf stream)
{
    return ZPOS64_T(static_cast<QFile *>(stream)->pos());
}

long ZCALLBACK seekFile(voidpf, voidpf stream, ZPOS64_T offset, int origin)
{
    auto *file = static_cast<QFile *>(stream);
    const qint64 base = origin == ZLIB_FILEFUNC_SEEK_CUR   ? file->pos()
                        : origin == ZLIB_FILEFUNC_SEEK_END ? file->size()
                                                           : 0;
    return file->seek(base + qint64(offset)) ? 0 : -1;
}

int ZCALLBACK closeFile(voidpf, voidpf)
{
    return 0;
}

int ZCALLBACK fileError(voidpf, voidpf stream)
{
    return static_cast<QFile *>(stream)->error() == QFileDevice::NoError ? 0 : -1;
}

struct ZipCloser
{
    void operator()(void *zip) const { unzClose(zip); }
};
using Zip = std::unique_ptr<void, ZipCloser>;

// One part of the zip, inflated as it is read, refused once more than limit bytes came out.
class PartDevice : public QIODevice
{
public:
    PartDevice(unzFile zip, qint64 limit) : m_zip(zip), m_limit(limit) {}
    bool isSequential() const override { return true; }
    bool damaged() const { return m_damaged; }
    bool tooLarge() const { return m_tooLarge; }
    bool ended() const { return m_ended; }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        if (m_damaged || m_tooLarge)
            return -1;
        const int got =
            unzReadCurrentFile(m_zip, data, unsigned(std::min<qint64>(maxSize, 1 << 20)));
        if (got < 0) {
            m_damaged = true;
            return -1;
        }
        m_ended = got == 0;
        m_inflated += got;
        if (m_inflated > m_limit) {
            m_tooLarge = true;
            return -1;
        }
        return got;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    unzFile m_zip;
    qint64 m_limit;
    qint64 m_inflated = 0;
    bool m_damaged = false;
    bool m_tooLarge = false;
    bool m_ended = false;
};

// The texts of a cell's <is> or of a shared <si>: its runs' <t> together, without the phonetic
// hints (<rPh>), which are no part of the text.
QString runsText(QXmlStreamReader &xml, QStringView end)
{
    QString text;
    while (xml.readNext() != QXmlStreamReader::Invalid) {
        if (xml.isStartElement()) {
            if (xml.name() == u"t")
                text += xml.readElementText(QXmlStreamReader::IncludeChildElements);
            else if (xml.name() == u"rPh")
                xml.skipCurrentElement();
        } else if (xml.isEndElement() && xml.name() == end) {
            break;
        }
    }
    return text;
}

// «AB12» → 27; -1 when the reference names no column.
int columnOf(QStringView reference)
{
    int column = 0;
    qsizetype at = 0;
    for (; at < reference.size() && at < 4; ++at) {
        const char16_t letter = reference.at(at).unicode();
        if (letter < u'A' || letter > u'Z')
            break;
        column = column * 26 + (letter - u'A' + 1);
    }
    return at == 0 ? -1 : column - 1;
}

class Workbook
{
public:
    Workbook(const QString &path, std::atomic<qint64> *bytesRead, const Limits &limits)
        : m_path(path), m_name(QFileInfo(path).fileName()), m_file(path), m_bytesRead(bytesRead),
          m_limits(limits)
    {
    }

    ReadResult read(RowSink &sink);

private:
    ReadResult failed(const QString &reason) const { return {ReadResult::Outcome::Failed, reason}; }
    ReadResult damaged() const
    {
        return failed(QStringLiteral("Файл «%1» поврежден или обрезан: это не книга Excel "
                                     "(.xlsx), которую можно прочитать.")
                          .arg(m_name));
    }
    ReadResult tooLarge(qint64 limit) const
    {
        return failed(QStringLiteral("Файл «%1» отклонен: его лист при распаковке больше %2 МБ. "
                                     "Файл поврежден или это не сплит-форма.")
                          .arg(m_name, QString::number(limit >> 20)));
    }
    // Opens the part for reading; false when the zip has no such part.
    bool openPart(const QString &name);
    // Reads a small part whole: the workbook and its relationships.
    template <typename Visit> bool readPart(const QString &name, Visit visit);
    QString firstSheetPart();
    std::optional<ReadResult> readSharedStrings(const QString &part);
    ReadResult streamSheet(const QString &part, RowSink &sink);
    // Whether the part was read to its end intact: its checksum is known only there.
    bool closePart(const PartDevice &device);

    QString m_path;
    QString m_name;
    QFile m_file;
    Zip m_zip;
    std::atomic<qint64> *m_bytesRead;
    Limits m_limits;
    QString m_sharedPart;
    std::vector<QString> m_shared;
};

bool Workbook::openPart(const QString &name)
{
    return unzLocateFile(m_zip.get(), name.toUtf8().constData(), 2) == UNZ_OK &&
           unzOpenCurrentFile(m_zip.get()) == UNZ_OK;
}

bool Workbook::closePart(const PartDevice &device)
{
    const int closed = unzCloseCurrentFile(m_zip.get());
    return !device.damaged() && (!device.ended() || closed == UNZ_OK);
}

template <typename Visit> bool Workbook::readPart(const QString &name, Visit visit)
{
    if (!openPart(name))
        return false;
    PartDevice device(m_zip.get(), qint64(16) << 20);
    device.open(QIODevice::ReadOnly);
    QXmlStreamReader xml(&device);
    while (xml.readNext() != QXmlStreamReader::Invalid && !xml.atEnd())
        if (xml.isStartElement())
            visit(xml);
    const bool whole = !xml.hasError() && closePart(device);
    return whole;
}

QString Workbook::firstSheetPart()
{
    QString relation;
    const bool workbook = readPart(QStringLiteral("xl/workbook.xml"), [&](QXmlStreamReader &xml) {
        if (relation.isEmpty() && xml.name() == u"sheet")
            for (const QXmlStreamAttribute &attribute : xml.attributes())
                if (attribute.name() == u"id")
                    relation = attribute.value().toString();
    });
    if (!workbook || relation.isEmpty())
        return {};
    QString target;
    readPart(QStringLiteral("xl/_rels/workbook.xml.rels"), [&](QXmlStreamReader &xml) {
        if (xml.name() != u"Relationship")
            return;
        const QXmlStreamAttributes attributes = xml.attributes();
        const QString to = attributes.value(QLatin1StringView("Target")).toString();
        const QString part = to.startsWith(u'/') ? to.mid(1) : QStringLiteral("xl/") + to;
        if (attributes.value(QLatin1StringView("Id")) == relation)
            target = part;
        else if (attributes.value(QLatin1StringView("Type")).endsWith(u"/sharedStrings"))
            m_sharedPart = part;
    });
    return target;
}

std::optional<ReadResult> Workbook::readSharedStrings(const QString &part)
{
    if (part.isEmpty() || !openPart(part))
        return std::nullopt; // a workbook with inline texts only has none
    PartDevice device(m_zip.get(), m_limits.sharedStringsBytes);
    device.open(QIODevice::ReadOnly);
    QXmlStreamReader xml(&device);
    while (xml.readNext() != QXmlStreamReader::Invalid && !xml.atEnd()) {
        if (!xml.isStartElement() || xml.name() != u"si")
            continue;
        if (qint64(m_shared.size()) >= m_limits.sharedStrings) {
            unzCloseCurrentFile(m_zip.get());
            return tooLarge(m_limits.sharedStringsBytes);
        }
        m_shared.push_back(runsText(xml, u"si"));
    }
    if (device.tooLarge()) {
        unzCloseCurrentFile(m_zip.get());
        return tooLarge(m_limits.sharedStringsBytes);
    }
    if (xml.hasError() || !closePart(device))
        return damaged();
    return std::nullopt;
}

ReadResult Workbook::streamSheet(const QString &part, RowSink &sink)
{
    if (!openPart(part))
        return damaged();
    PartDevice device(m_zip.get(), m_limits.sheetBytes);
    device.open(QIODevice::ReadOnly);
    QXmlStreamReader xml(&device);
    QStringList cells;
    qint64 row = 0;
    int column = 0;
    QStringView type;
    QXmlStreamAttributes attributes;
    QString value;
    bool badIndex = false;
    while (xml.readNext() != QXmlStreamReader::Invalid && !xml.atEnd()) {
        if (xml.isStartElement()) {
            const QStringView name = xml.name();
            if (name == u"row") {
                const QStringView number = xml.attributes().value(QLatin1StringView("r"));
                row = number.isEmpty() ? row + 1 : number.toLongLong();
                cells.clear();
                column = 0;
            } else if (name == u"c") {
                attributes = xml.attributes();
                column = std::max(column, columnOf(attributes.value(QLatin1StringView("r"))));
                type = attributes.value(QLatin1StringView("t"));
                value.clear();
            } else if (name == u"v") {
                value = xml.readElementText();
            } else if (name == u"is") {
                value = runsText(xml, u"is");
            }
        } else if (xml.isEndElement()) {
            const QStringView name = xml.name();
            if (name == u"c") {
                if (type == u"s") {
                    bool number = false;
                    const qsizetype index = value.toLongLong(&number);
                    badIndex = !number || index < 0 || index >= qsizetype(m_shared.size());
                    if (badIndex)
                        break;
                    value = m_shared[std::size_t(index)];
                }
                while (cells.size() <= column)
                    cells.append(QString());
                cells[column++] = value;
            } else if (name == u"row") {
                if (m_bytesRead)
                    m_bytesRead->store(m_file.pos(), std::memory_order_relaxed);
                if (!sink.row(row, cells)) {
                    unzCloseCurrentFile(m_zip.get());
                    return {ReadResult::Outcome::Stopped, {}};
                }
            }
        }
    }
    if (device.tooLarge()) {
        unzCloseCurrentFile(m_zip.get());
        return tooLarge(m_limits.sheetBytes);
    }
    if (badIndex || xml.hasError() || !closePart(device))
        return failed(QStringLiteral("Файл «%1» поврежден или обрезан: лист не читается после "
                                     "строки %2.")
                          .arg(m_name, QString::number(row)));
    return {ReadResult::Outcome::Read, {}};
}

ReadResult Workbook::read(RowSink &sink)
{
    if (!m_file.open(QIODevice::ReadOnly))
        return failed(QStringLiteral("Не удалось открыть файл «%1».").arg(m_path));
    zlib_filefunc64_def functions{};
    functions.zopen64_file = openFile;
    functions.zread_file = readFile;
    functions.zwrite_file = writeFile;
    functions.ztell64_file = tellFile;
    functions.zseek64_file = seekFile;
    functions.zclose_file = closeFile;
    functions.zerror_file = fileError;
    m_zip.reset(unzOpen2_64(&m_file, &functions));
    if (!m_zip)
        return damaged();
    const QString sheet = firstSheetPart();
    if (sheet.isEmpty())
        return damaged();
    if (const std::optional<ReadResult> refused = readSharedStrings(m_sharedPart))
        return *refused;
    return streamSheet(sheet, sink);
}

} // namespace

ReadResult readXlsx(const QString &path, RowSink &sink, std::atomic<qint64> *bytesRead,
                    const Limits &limits)
{
    Workbook workbook(path, bytesRead, limits);
    return workbook.read(sink);
}

} // namespace norms::table
