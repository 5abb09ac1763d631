#include "firmfile.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>

namespace norms::firm {

namespace {

const QString kComment = QStringLiteral(
    " Фирменные нормы. Ссылки на нормативы накладных расходов и сметной прибыли - NrSp/ReasonItem, "
    "как в федеральных файлах. Сверх структуры федеральных файлов у Work: Source - источник нормы, "
    "Origin - федеральная норма, из которой она сделана, Version - номер текущей версии; у "
    "строки ресурса, группа которой не следует из кода, Kind - «Материал», «Труд» или «Машины»; "
    "History - все версии нормы (Number, Date, Login, Changes) с полным содержанием каждой. "
    "Читается история; поля самой Work повторяют текущую версию для программ, знающих только "
    "федеральные файлы. ");

// The federal files' notation: a decimal point, every digit the double needs and no more.
QString quantityText(const std::optional<double> &rate)
{
    return rate ? QString::number(*rate, 'f', QLocale::FloatingPointShortest) : QStringLiteral("П");
}

void writeAttributeIfAny(QXmlStreamWriter &xml, const QString &name, const QString &value)
{
    if (!value.isEmpty())
        xml.writeAttribute(name, value);
}

// Every line of the content an item, empty ones too, so that the text comes back as it was.
void writeContent(QXmlStreamWriter &xml, const QString &content)
{
    if (content.isEmpty())
        return;
    xml.writeStartElement(QStringLiteral("Content"));
    for (const QString &line : content.split(u'\n')) {
        xml.writeEmptyElement(QStringLiteral("Item"));
        xml.writeAttribute(QStringLiteral("Text"), line);
    }
    xml.writeEndElement();
}

void writeResources(QXmlStreamWriter &xml, const QList<NormResource> &resources)
{
    if (resources.isEmpty())
        return;
    xml.writeStartElement(QStringLiteral("Resources"));
    for (const NormResource &resource : resources) {
        // An abstract resource names itself in Name, as in the federal files.
        xml.writeEmptyElement(resource.abstract ? QStringLiteral("AbstractResource")
                                                : QStringLiteral("Resource"));
        writeAttributeIfAny(xml, QStringLiteral("Code"), resource.code);
        xml.writeAttribute(resource.abstract ? QStringLiteral("Name") : QStringLiteral("EndName"),
                           resource.name);
        xml.writeAttribute(QStringLiteral("MeasureUnit"), resource.unit);
        xml.writeAttribute(QStringLiteral("Quantity"), quantityText(resource.rate));
        if (resource.group != groupOfCode(resource.code))
            xml.writeAttribute(QStringLiteral("Kind"), groupKind(resource.group));
        writeAttributeIfAny(xml, QStringLiteral("TechnologyGroups"), resource.technologyGroups);
    }
    xml.writeEndElement();
}

// As the federal files write a norm's references to the overhead and profit norms.
void writeReasons(QXmlStreamWriter &xml, const QList<Reason> &reasons)
{
    if (reasons.isEmpty())
        return;
    xml.writeStartElement(QStringLiteral("NrSp"));
    for (const Reason &reason : reasons) {
        xml.writeEmptyElement(QStringLiteral("ReasonItem"));
        xml.writeAttribute(QStringLiteral("Nr"), reason.nr);
        xml.writeAttribute(QStringLiteral("Sp"), reason.sp);
    }
    xml.writeEndElement();
}

void writeVersion(QXmlStreamWriter &xml, const Version &version)
{
    xml.writeStartElement(QStringLiteral("Version"));
    xml.writeAttribute(QStringLiteral("Number"), QString::number(version.number));
    xml.writeAttribute(QStringLiteral("Date"), isoMoment(version.savedAt));
    xml.writeAttribute(QStringLiteral("Login"), version.login);
    xml.writeAttribute(QStringLiteral("Changes"), version.changes);
    const Draft &draft = version.draft;
    xml.writeAttribute(QStringLiteral("Code"), draft.code);
    xml.writeAttribute(QStringLiteral("EndName"), draft.name);
    xml.writeAttribute(QStringLiteral("MeasureUnit"), draft.measure);
    xml.writeAttribute(QStringLiteral("Source"), draft.source);
    writeAttributeIfAny(xml, QStringLiteral("Origin"), draft.origin);
    writeContent(xml, draft.content);
    writeResources(xml, draft.resources);
    writeReasons(xml, draft.reasons);
    xml.writeEndElement();
}

void writeNorm(QXmlStreamWriter &xml, const FileNorm &norm)
{
    const Version &current = norm.history.constLast();
    const Draft &draft = current.draft;
    xml.writeStartElement(QStringLiteral("Work"));
    xml.writeAttribute(QStringLiteral("Code"), draft.code);
    xml.writeAttribute(QStringLiteral("EndName"), draft.name);
    xml.writeAttribute(QStringLiteral("MeasureUnit"), draft.measure);
    xml.writeAttribute(QStringLiteral("Source"), draft.source);
    writeAttributeIfAny(xml, QStringLiteral("Origin"), draft.origin);
    xml.writeAttribute(QStringLiteral("Version"), QString::number(current.number));
    writeContent(xml, draft.content);
    writeResources(xml, draft.resources);
    writeReasons(xml, draft.reasons);
    xml.writeStartElement(QStringLiteral("History"));
    for (const Version &version : norm.history)
        writeVersion(xml, version);
    xml.writeEndElement();
    xml.writeEndElement();
}

// The texts the journal writes, in a spelling it keeps: «м²» → «м2», «≤» → «<=». Whether any
// changed.
bool respell(Draft &draft)
{
    bool changed = false;
    const auto spell = [&changed](QString &text) {
        QString spelled = journalSpelling(text);
        if (spelled != text) {
            text = std::move(spelled);
            changed = true;
        }
    };
    for (QString *text : {&draft.code, &draft.name, &draft.measure, &draft.source, &draft.origin})
        spell(*text);
    for (NormResource &resource : draft.resources) {
        spell(resource.name);
        spell(resource.unit);
    }
    return changed;
}

class FileReader
{
public:
    explicit FileReader(QIODevice &device) : m_xml(&device) {}
    FirmFileReading read();

private:
    void readCategoryBody(const QString &beginName = {});
    void readWork(const QString &beginName);
    std::optional<Version> readVersion(const QString &workCode);
    void readContent(QString &content);
    void readResources(QList<NormResource> &resources, const QString &workCode);
    void readReasons(QList<Reason> &reasons);
    void fault(const QString &reason) { m_xml.raiseError(reason); }

    QXmlStreamReader m_xml;
    FirmFile m_file;
    QStringList m_respelled;
    bool m_categorySeen = false;
};

FirmFileReading FileReader::read()
{
    FirmFileReading reading;
    if (m_xml.readNextStartElement()) {
        if (m_xml.name() != u"base") {
            reading.result.outcome = xml::Outcome::OtherKind;
            reading.result.reason = QStringLiteral("его корневой элемент «%1», а не «base»")
                                        .arg(m_xml.name().toString());
            return reading;
        }
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() != u"ResourcesDirectory") {
                m_xml.skipCurrentElement();
                continue;
            }
            while (m_xml.readNextStartElement()) {
                if (m_xml.name() == u"ResourceCategory" &&
                    m_xml.attributes().value(QLatin1StringView("Type")) == firmCategoryType()) {
                    if (!m_categorySeen)
                        m_file.prefix =
                            m_xml.attributes().value(QLatin1StringView("CodePrefix")).toString();
                    m_categorySeen = true;
                    readCategoryBody();
                } else {
                    m_xml.skipCurrentElement();
                }
            }
        }
        // A second root or a broken tail shows only at the end.
        while (!m_xml.atEnd())
            m_xml.readNext();
    }
    if (m_xml.hasError()) {
        reading.result.outcome = xml::Outcome::Malformed;
        reading.result.reason = m_xml.error() == QXmlStreamReader::CustomError
                                    ? m_xml.errorString()
                                    : xml::errorText(m_xml.error());
        reading.result.line = m_xml.lineNumber();
        reading.result.column = m_xml.columnNumber();
    } else if (!m_categorySeen) {
        reading.result.outcome = xml::Outcome::OtherKind;
        reading.result.reason = QStringLiteral("в нем нет категории «%1»").arg(firmCategoryType());
    }
    reading.result.norms = m_file.norms.size();
    reading.file = std::move(m_file);
    reading.respelled = m_respelled;
    return reading;
}

void FileReader::readCategoryBody(const QString &beginName)
{
    while (m_xml.readNextStartElement()) {
        if (m_xml.name() == u"Work")
            readWork(beginName);
        else if (m_xml.name() == u"Section")
            readCategoryBody();
        else if (m_xml.name() == u"NameGroup")
            readCategoryBody(m_xml.attributes().value(QLatin1StringView("BeginName")).toString());
        else
            m_xml.skipCurrentElement();
    }
}

void FileReader::readWork(const QString &beginName)
{
    const QXmlStreamAttributes attributes = m_xml.attributes();
    const auto value = [&](const char *name) {
        return attributes.value(QLatin1StringView(name)).toString();
    };
    const QString code = value("Code");
    // A file written by hand or by another program may have no history: the norm as the Work
    // states it is then its one version.
    Version stated;
    stated.number = std::max(1, value("Version").toInt());
    stated.savedAt = QDateTime::currentDateTime();
    stated.savedAt.setTime(stated.savedAt.time().addMSecs(-stated.savedAt.time().msec()));
    stated.changes = QStringLiteral("получена из файла без истории");
    const QString endName = value("EndName");
    stated.draft = {code,
                    beginName.isEmpty() ? endName : (beginName + u' ' + endName).trimmed(),
                    value("MeasureUnit"),
                    QString(),
                    value("Source"),
                    value("Origin"),
                    {}};
    FileNorm norm;
    while (m_xml.readNextStartElement()) {
        if (m_xml.name() == u"Content") {
            readContent(stated.draft.content);
            continue;
        }
        if (m_xml.name() == u"Resources") {
            readResources(stated.draft.resources, code);
            continue;
        }
        if (m_xml.name() == u"NrSp") {
            readReasons(stated.draft.reasons);
            continue;
        }
        if (m_xml.name() != u"History") {
            m_xml.skipCurrentElement();
            continue;
        }
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() != u"Version") {
                m_xml.skipCurrentElement();
                continue;
            }
            if (const std::optional<Version> version = readVersion(code))
                norm.history.append(*version);
        }
    }
    if (m_xml.hasError())
        return;
    if (norm.history.isEmpty())
        norm.history.append(stated);
    if (norm.history.constLast().draft.code != code)
        return fault(QStringLiteral("код нормы «%1» не совпадает с кодом ее последней версии «%2»")
                         .arg(code, norm.history.constLast().draft.code));
    bool respelled = false;
    for (Version &version : norm.history)
        respelled = respell(version.draft) || respelled;
    if (respelled)
        m_respelled.append(norm.history.constLast().draft.code);
    m_file.norms.append(norm);
}

std::optional<Version> FileReader::readVersion(const QString &workCode)
{
    const QXmlStreamAttributes attributes = m_xml.attributes();
    const auto value = [&](const char *name) {
        return attributes.value(QLatin1StringView(name)).toString();
    };
    Version version;
    bool numbered = false;
    version.number = value("Number").toInt(&numbered);
    version.savedAt = QDateTime::fromString(value("Date"), Qt::ISODateWithMs);
    if (!numbered || version.number < 1 || !version.savedAt.isValid()) {
        fault(QStringLiteral("у версии «%1» нормы «%2» неверный номер или дата «%3»")
                  .arg(value("Number"), workCode, value("Date")));
        return std::nullopt;
    }
    version.login = value("Login");
    version.changes = value("Changes");
    Draft &draft = version.draft;
    draft.code = value("Code");
    draft.name = value("EndName");
    draft.measure = value("MeasureUnit");
    draft.source = value("Source");
    draft.origin = value("Origin");
    while (m_xml.readNextStartElement()) {
        if (m_xml.name() == u"Content")
            readContent(draft.content);
        else if (m_xml.name() == u"Resources")
            readResources(draft.resources, workCode);
        else if (m_xml.name() == u"NrSp")
            readReasons(draft.reasons);
        else
            m_xml.skipCurrentElement();
    }
    return version;
}

void FileReader::readContent(QString &content)
{
    QStringList lines;
    while (m_xml.readNextStartElement()) {
        if (m_xml.name() == u"Item")
            lines.append(m_xml.attributes().value(QLatin1StringView("Text")).toString());
        m_xml.skipCurrentElement();
    }
    content = lines.join(u'\n');
}

void FileReader::readResources(QList<NormResource> &resources, const QString &workCode)
{
    while (m_xml.readNextStartElement()) {
        const bool abstract = m_xml.name() == u"AbstractResource";
        if (!abstract && m_xml.name() != u"Resource") {
            m_xml.skipCurrentElement();
            continue;
        }
        const QXmlStreamAttributes attributes = m_xml.attributes();
        const auto value = [&](const char *name) {
            return attributes.value(QLatin1StringView(name)).toString();
        };
        NormResource resource;
        resource.abstract = abstract;
        resource.code = value("Code");
        resource.name =
            value(attributes.hasAttribute(QLatin1StringView("Name")) ? "Name" : "EndName");
        resource.unit = value("MeasureUnit");
        resource.technologyGroups = value("TechnologyGroups");
        const QString quantity = value("Quantity");
        resource.rate = xml::quantityOf(quantity);
        const QString kind = value("Kind");
        const std::optional<ResourceGroup> group =
            kind.isEmpty() ? groupOfCode(resource.code) : groupOfKind(kind);
        // A rate or a group misread would change the norm without a word.
        if (!group || (!resource.rate && quantity != u"П")) {
            fault(QStringLiteral("у ресурса «%1» нормы «%2» неверная норма «%3» или группа «%4»")
                      .arg(resource.name, workCode, quantity, kind));
            return;
        }
        resource.group = *group;
        resources.append(resource);
        m_xml.skipCurrentElement();
    }
}

void FileReader::readReasons(QList<Reason> &reasons)
{
    while (m_xml.readNextStartElement()) {
        if (m_xml.name() == u"ReasonItem") {
            const QXmlStreamAttributes attributes = m_xml.attributes();
            reasons.append({attributes.value(QLatin1StringView("Nr")).trimmed().toString(),
                            attributes.value(QLatin1StringView("Sp")).trimmed().toString()});
        }
        m_xml.skipCurrentElement();
    }
}

} // namespace

QByteArray encodeFirmFile(const FirmFile &file)
{
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(1);
    xml.writeStartDocument();
    xml.writeComment(kComment);
    xml.writeStartElement(QStringLiteral("base"));
    xml.writeAttribute(QStringLiteral("BaseName"), QStringLiteral("Фирменные нормы"));
    xml.writeStartElement(QStringLiteral("ResourcesDirectory"));
    xml.writeStartElement(QStringLiteral("ResourceCategory"));
    xml.writeAttribute(QStringLiteral("Type"), firmCategoryType());
    xml.writeAttribute(QStringLiteral("CodePrefix"), file.prefix);
    for (const FileNorm &norm : file.norms)
        writeNorm(xml, norm);
    xml.writeEndDocument();
    return bytes;
}

FirmFileReading readFirmFile(QIODevice &device)
{
    return FileReader(device).read();
}

} // namespace norms::firm
