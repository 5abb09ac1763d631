#include "normxml.h"

#include <QStringDecoder>

#include <algorithm>
#include <cmath>
#include <utility>

namespace norms::xml {

namespace {

// Attribute names are plain Latin, which Qt finds without a conversion.
QStringView valueOf(const QXmlStreamAttributes &attributes, const char *name)
{
    return attributes.value(QLatin1StringView(name));
}

QString attribute(const QXmlStreamAttributes &attributes, const char *name)
{
    return valueOf(attributes, name).toString();
}

// The catalogue and the abstract resources name themselves in Name, a norm's lines in EndName.
const char *nameAttribute(const QXmlStreamAttributes &attributes)
{
    return attributes.hasAttribute(QLatin1StringView("Name")) ? "Name" : "EndName";
}

// A norm's name is told in two parts so that the rows of a table share their beginning.
Span appendName(Norm &norm, QStringView beginning, QStringView end)
{
    beginning = beginning.trimmed();
    end = end.trimmed();
    const qsizetype from = norm.text.size();
    norm.text.append(beginning);
    if (!beginning.isEmpty() && !end.isEmpty())
        norm.text.append(u' ');
    norm.text.append(end);
    return {from, norm.text.size() - from};
}

// Characters of a norm with ten resource lines, with room to spare.
constexpr qsizetype kNormTextRoom = 2048;

// The encoding a file's XML declaration names, if any. Read by hand: this runs on the import's
// own reading thread, where a regular expression crashed the Windows build as the thread ended.
QByteArray declaredEncoding(QByteArray head)
{
    if (head.startsWith("\xEF\xBB\xBF"))
        head.remove(0, 3);
    head = head.trimmed();
    const qsizetype end = head.indexOf("?>");
    if (!head.startsWith("<?xml") || end < 0)
        return {};
    head.truncate(end);
    const qsizetype name = head.indexOf("encoding");
    if (name < 0)
        return {};
    QByteArray rest = head.mid(name + 8).trimmed();
    if (!rest.startsWith('='))
        return {};
    rest = rest.mid(1).trimmed();
    if (rest.isEmpty() || (rest.at(0) != '"' && rest.at(0) != '\''))
        return {};
    const qsizetype close = rest.indexOf(rest.at(0), 1);
    return close < 0 ? QByteArray() : rest.mid(1, close - 1);
}

} // namespace

QString errorText(QXmlStreamReader::Error error)
{
    switch (error) {
    case QXmlStreamReader::PrematureEndOfDocumentError:
        return QStringLiteral("файл обрывается, не дойдя до конца разметки");
    case QXmlStreamReader::UnexpectedElementError:
        return QStringLiteral("неожиданный элемент разметки");
    case QXmlStreamReader::NotWellFormedError:
    default:
        return QStringLiteral("нарушена разметка XML");
    }
}

std::optional<double> quantityOf(QStringView text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

Reader::Reader(QIODevice &device, Sink &sink) : m_xml(&device), m_sink(sink) {}

ReadResult Reader::read()
{
    // A Qt built without ICU (the Windows one) decodes only the Unicode encodings and Latin-1;
    // the reader would stop at the declaration of another one as if the file held no markup.
    if (QIODevice *device = m_xml.device()) {
        const QByteArray encoding = declaredEncoding(device->peek(256));
        if (!encoding.isEmpty() && !QStringDecoder(encoding.constData()).isValid()) {
            ReadResult result;
            result.outcome = Outcome::Unreadable;
            result.reason = QString::fromLatin1(encoding);
            return result;
        }
    }
    bool rootSeen = false;
    while (!m_xml.atEnd()) {
        const QXmlStreamReader::TokenType token = m_xml.readNext();
        if (token != QXmlStreamReader::StartElement)
            continue;
        rootSeen = true;
        if (m_xml.name() == u"base") {
            readBase();
        } else if (m_xml.name() == u"ResourceCatalog") {
            readCatalogue();
        } else {
            ReadResult result;
            result.outcome = Outcome::OtherKind;
            result.foreign = true;
            result.reason = QStringLiteral("его корневой элемент «%1», а не «base»")
                                .arg(m_xml.name().toString());
            return result;
        }
        // Reads on to the end of the document, where a second root or a broken tail shows.
        while (!m_xml.atEnd())
            m_xml.readNext();
    }
    ReadResult result;
    result.norms = m_norms;
    result.catalogueEntries = m_catalogueEntries;
    if (m_stopped) {
        result.outcome = Outcome::Stopped;
    } else if (m_xml.hasError() && !rootSeen) {
        // Bytes that never make an element (another format, an empty file) are not a norm
        // base at all rather than a damaged one.
        result.outcome = Outcome::OtherKind;
        result.foreign = true;
        result.reason = QStringLiteral("в нем нет разметки XML");
    } else if (m_xml.hasError()) {
        result.outcome = Outcome::Malformed;
        result.reason = errorText(m_xml.error());
        result.line = m_xml.lineNumber();
        result.column = m_xml.columnNumber();
    } else if (m_norms == 0 && m_catalogueEntries == 0) {
        result.outcome = Outcome::OtherKind;
        result.reason = QStringLiteral("в нем нет ни одной нормы и ни одного ресурса");
    }
    return result;
}

void Reader::readBase()
{
    const QXmlStreamAttributes attributes = m_xml.attributes();
    BaseHeader header;
    header.name = attribute(attributes, "BaseName");
    header.type = attribute(attributes, "BaseType");
    header.priceLevel = attribute(attributes, "PriceLevel");
    m_sink.base(header);
    while (m_xml.readNextStartElement()) {
        if (m_xml.name() == u"ResourcesDirectory")
            readDirectory();
        else if (m_xml.name() == u"ResourceCategory")
            readCategory();
        else
            m_xml.skipCurrentElement();
    }
}

namespace {

void takeAct(const QXmlStreamAttributes &attributes, BaseHeader &header)
{
    if (header.actNumber.isEmpty())
        header.actNumber = attribute(attributes, "ApprovingActNumber");
    if (header.actDate.isEmpty())
        header.actDate = attribute(attributes, "ApprovingActDate");
}

} // namespace

// A price catalogue: its approving act, then the same directory of categories and sections as a
// norm file, of resources with their prices.
void Reader::readCatalogue()
{
    BaseHeader header;
    header.priceLevel = attribute(m_xml.attributes(), "PriceLevel");
    if (header.priceLevel.isEmpty())
        header.priceLevel = QString::fromUtf16(kCataloguePriceLevel);
    bool told = false;
    while (m_xml.readNextStartElement()) {
        const QStringView name = m_xml.name();
        if (name == u"Decrees") {
            // The act's figures as attributes, of the element or of one inside it, or as the
            // text of elements of those names.
            takeAct(m_xml.attributes(), header);
            for (int depth = 1; depth > 0 && !m_xml.atEnd();) {
                const QXmlStreamReader::TokenType token = m_xml.readNext();
                if (token == QXmlStreamReader::EndElement) {
                    --depth;
                } else if (token == QXmlStreamReader::StartElement) {
                    takeAct(m_xml.attributes(), header);
                    QString *field = m_xml.name() == u"ApprovingActNumber" ? &header.actNumber
                                     : m_xml.name() == u"ApprovingActDate" ? &header.actDate
                                                                           : nullptr;
                    if (field && field->isEmpty())
                        *field =
                            m_xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed();
                    else
                        ++depth;
                }
            }
        } else if (name == u"ResourcesDirectory" || name == u"ResourceCategory") {
            if (!told)
                m_sink.base(header);
            told = true;
            if (name == u"ResourcesDirectory")
                readDirectory();
            else
                readCategory();
        } else {
            m_xml.skipCurrentElement();
        }
    }
}

void Reader::readDirectory()
{
    while (m_xml.readNextStartElement()) {
        if (m_xml.name() == u"ResourceCategory")
            readCategory();
        else
            m_xml.skipCurrentElement();
    }
}

void Reader::readCategory()
{
    const QXmlStreamAttributes attributes = m_xml.attributes();
    m_machines = valueOf(attributes, "Type") == u"МашиныМеханизмы";
    m_sink.beginCollection({attribute(attributes, "Type"), attribute(attributes, "CodePrefix")});
    readSectionBody();
    m_sink.endCollection();
}

void Reader::readSection()
{
    const QXmlStreamAttributes attributes = m_xml.attributes();
    m_sink.beginSection({attribute(attributes, "Type"), attribute(attributes, "Code"),
                         attribute(attributes, "Name")});
    readSectionBody();
    m_sink.endSection();
}

void Reader::readSectionBody()
{
    m_sectionContent.emplace_back();
    while (m_xml.readNextStartElement()) {
        const QStringView name = m_xml.name();
        if (name == u"Section")
            readSection();
        else if (name == u"NameGroup")
            readNameGroup(attribute(m_xml.attributes(), "BeginName"));
        else if (name == u"Work")
            readWork({});
        else if (name == u"Resource")
            readCatalogueEntry();
        else if (name == u"Content")
            readContent(m_sectionContent.back() = QString());
        else
            m_xml.skipCurrentElement();
    }
    m_sectionContent.pop_back();
}

void Reader::readNameGroup(const QString &beginName)
{
    while (m_xml.readNextStartElement()) {
        if (m_xml.name() == u"Work")
            readWork(beginName);
        else
            m_xml.skipCurrentElement();
    }
}

void Reader::readWork(const QString &beginName)
{
    // One norm is reused so that its list of resources keeps its room. Its text is handed on
    // with it, so each norm starts one of its own, large enough for most.
    Norm &norm = m_norm;
    norm.text = QString();
    norm.text.reserve(kNormTextRoom);
    norm.resources.clear();
    norm.reasons.clear();
    norm.content = {};
    // Taken as const: a loop over a copy that may change would copy the list first.
    const QXmlStreamAttributes attributes = m_xml.attributes();
    for (const QXmlStreamAttribute &attribute : std::as_const(attributes)) {
        const QStringView name = attribute.name();
        if (name == u"Code")
            norm.code = norm.append(attribute.value());
        else if (name == u"EndName")
            norm.name = appendName(norm, beginName, attribute.value());
        else if (name == u"MeasureUnit")
            norm.measure = norm.append(attribute.value());
    }
    if (norm.name.size == 0)
        norm.name = appendName(norm, beginName, {});
    while (m_xml.readNextStartElement()) {
        const QStringView name = m_xml.name();
        if (name == u"Resources") {
            readResources(norm);
        } else if (name == u"Content") {
            const qsizetype from = norm.text.size();
            readContent(norm.text);
            norm.content = {from, norm.text.size() - from};
        } else if (name == u"NrSp") {
            readReasons(norm);
        } else {
            m_xml.skipCurrentElement();
        }
    }
    if (m_xml.hasError())
        return;
    for (auto section = m_sectionContent.rbegin();
         norm.content.size == 0 && section != m_sectionContent.rend(); ++section)
        norm.content = norm.append(*section);
    m_sink.norm(norm);
    ++m_norms;
    stopIfAsked();
}

void Reader::stopIfAsked()
{
    if (!m_sink.stopRequested())
        return;
    m_stopped = true;
    // Unwinds every reading loop at once.
    m_xml.raiseError();
}

void Reader::readResources(Norm &norm)
{
    while (m_xml.readNextStartElement()) {
        const QStringView element = m_xml.name();
        const bool abstract = element == u"AbstractResource";
        if (!abstract && element != u"Resource") {
            m_xml.skipCurrentElement();
            continue;
        }
        Resource &resource = norm.resources.emplace_back();
        resource.abstract = abstract;
        // The catalogue and the abstract resources call it Name, a norm's lines EndName.
        Span endName;
        const QXmlStreamAttributes attributes = m_xml.attributes();
        for (const QXmlStreamAttribute &attribute : std::as_const(attributes)) {
            const QStringView name = attribute.name();
            if (name == u"Code")
                resource.code = norm.append(attribute.value());
            else if (name == u"EndName")
                endName = norm.append(attribute.value());
            else if (name == u"Name")
                resource.name = norm.append(attribute.value());
            else if (name == u"MeasureUnit")
                resource.unit = norm.append(attribute.value());
            else if (name == u"Quantity")
                resource.quantity = quantityOf(attribute.value());
            else if (name == u"TechnologyGroups")
                resource.technologyGroups = norm.append(attribute.value());
        }
        if (resource.name.size == 0)
            resource.name = endName;
        m_xml.skipCurrentElement();
    }
}

void Reader::readReasons(Norm &norm)
{
    while (m_xml.readNextStartElement()) {
        if (m_xml.name() == u"ReasonItem") {
            const QXmlStreamAttributes attributes = m_xml.attributes();
            norm.reasons.push_back({norm.append(valueOf(attributes, "Nr").trimmed()),
                                    norm.append(valueOf(attributes, "Sp").trimmed())});
        }
        m_xml.skipCurrentElement();
    }
}

void Reader::readCatalogueEntry()
{
    const QXmlStreamAttributes attributes = m_xml.attributes();
    CatalogueEntry entry;
    entry.code = attribute(attributes, "Code");
    entry.name = attribute(attributes, nameAttribute(attributes));
    entry.unit = attribute(attributes, "MeasureUnit");
    entry.machine = m_machines;
    bool priced = false;
    while (m_xml.readNextStartElement()) {
        if (m_xml.name() != u"Prices") {
            m_xml.skipCurrentElement();
            continue;
        }
        while (m_xml.readNextStartElement()) {
            // The first price is the one at the base level.
            if (m_xml.name() == u"Price" && !priced) {
                readPrice(entry);
                priced = true;
            }
            m_xml.skipCurrentElement();
        }
    }
    if (entry.machine && entry.unit.isEmpty())
        entry.unit = QStringLiteral("маш.-ч");
    m_sink.catalogueEntry(entry);
    ++m_catalogueEntries;
    stopIfAsked();
}

void Reader::readPrice(CatalogueEntry &entry)
{
    const QXmlStreamAttributes attributes = m_xml.attributes();
    std::optional<double> withoutWage;
    for (const QXmlStreamAttribute &attribute : attributes) {
        const QStringView name = attribute.name();
        if (name == u"Cost")
            entry.cost = quantityOf(attribute.value());
        else if (name == u"OptCost")
            entry.releaseCost = quantityOf(attribute.value());
        else if (name == u"SalaryMach")
            entry.machinistWage = quantityOf(attribute.value());
        else if (name == u"LabourMach")
            entry.machinistHours = quantityOf(attribute.value());
        else if (name == u"PriceCostWithoutSalary")
            withoutWage = quantityOf(attribute.value());
        else if (name == u"DriverCode")
            entry.driverCode = attribute.value().trimmed().toString();
        else if (name == u"MachinistCategory")
            entry.machinistGrade = attribute.value().trimmed().toString();
    }
    // A machine-hour costs the machine's own part and the machinist's wage together.
    if (withoutWage || entry.machinistWage) {
        entry.machine = true;
        entry.cost = withoutWage.value_or(0) + entry.machinistWage.value_or(0);
    }
}

void Reader::readContent(QString &text)
{
    bool first = true;
    while (m_xml.readNextStartElement()) {
        if (m_xml.name() != u"Item") {
            m_xml.skipCurrentElement();
            continue;
        }
        const QXmlStreamAttributes attributes = m_xml.attributes();
        const bool hasText = attributes.hasAttribute(QLatin1StringView("Text"));
        const QString item =
            hasText ? valueOf(attributes, "Text").trimmed().toString()
                    : m_xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed();
        if (hasText)
            m_xml.skipCurrentElement();
        if (item.isEmpty())
            continue;
        if (!first)
            text += u'\n';
        text += item;
        first = false;
    }
}

QString readingFailureText(const ReadResult &read, const QString &fileName)
{
    if (read.outcome == Outcome::Malformed)
        return QStringLiteral("Файл «%1» поврежден: строка %2, столбец %3: %4.")
            .arg(fileName, QString::number(read.line),
                 // The reader counts the characters it has read on the line, which makes the
                 // last one's column: the end of the tag at fault, or 0 at the start of a line.
                 QString::number(std::max<qint64>(read.column, 1)), read.reason);
    if (read.outcome == Outcome::Unreadable)
        return QStringLiteral("Файл «%1» записан в кодировке «%2», которую эта сборка программы "
                              "не читает. Сохраните его в кодировке UTF-8.")
            .arg(fileName, read.reason);
    return QStringLiteral("Файл «%1» не является файлом базы норм: %2.").arg(fileName, read.reason);
}

} // namespace norms::xml
