#include "vorfile.h"

#include "billfile.h"
#include "resulttext.h"
#include "units.h"
#include "xmltree.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <cmath>

namespace vorfile {

namespace {

const QString kFileType = QStringLiteral("Ведомость объемов работ");
const QString kFormatVersion = QStringLiteral("3.01");
const QString kWorkType = QStringLiteral("работа");

// A line of the file: a work of an entry, or one material of an entry typed by hand.
bool isLine(const bom::Material &material)
{
    // The volume is the work's own quantity; labour is not a line; a mixture is bought as its
    // parts; a row shown as "—" has no figure to give.
    return material.quantity && material.kind != bom::MaterialKind::WorkVolume &&
           material.kind != bom::MaterialKind::Labour &&
           material.kind != bom::MaterialKind::Composite;
}

bom::ResourceType typeOf(const bom::Material &material)
{
    if (material.type)
        return *material.type;
    return material.kind == bom::MaterialKind::Machine ? bom::ResourceType::Machine
                                                       : bom::ResourceType::Material;
}

// Identical works multiply the figure and its formula.
double times(int count, double value)
{
    return count * value;
}

QString timesFormula(int count, const QString &formula)
{
    return count == 1 ? formula : QStringLiteral("%1*(%2)").arg(QString::number(count), formula);
}

// Page numbers separated by spaces, each a whole number above zero.
bool arePages(const QString &pages)
{
    static const QRegularExpression numbers(
        QStringLiteral("^\\s*[1-9][0-9]{0,8}(\\s+[1-9][0-9]{0,8})*\\s*$"));
    return numbers.match(pages).hasMatch();
}

// A formula gives a quantity when it rounds to it at the quantity's last decimal shown: a
// file's author may show fewer digits than the program does.
bool agrees(double formula, double quantity)
{
    const QString shown = quantityText(quantity);
    if (quantityText(formula) == shown)
        return true;
    const qsizetype point = shown.indexOf(u'.');
    const int decimals = point < 0 ? 0 : int(shown.size() - point - 1);
    const double half = 0.5 * std::pow(10.0, -decimals);
    return std::fabs(formula - shown.toDouble()) <= half * (1 + 1e-9) + 1e-12 * std::fabs(formula);
}

struct Checker
{
    const bom::Bill &bill;
    QList<Gap> gaps;

    void gap(const QString &text, Gap::Place place, int entry = -1, int material = -1,
             const QString &field = {})
    {
        gaps.append({text, place, entry, material, field});
    }

    void head(const QString &value, const char *field, const char *text)
    {
        if (value.trimmed().isEmpty())
            gap(QString::fromUtf8(text), Gap::Place::Head, -1, -1, QString::fromLatin1(field));
    }

    void links(const QList<bom::Link> &links, const QString &line, int entry, int material)
    {
        if (links.isEmpty()) {
            gap(line + QStringLiteral(": нет ссылки на документ"), Gap::Place::Links, entry,
                material);
            return;
        }
        QSet<int> ids;
        for (const bom::Document &document : bill.documents)
            ids.insert(document.id);
        for (const bom::Link &link : links) {
            if (!ids.contains(link.documentId))
                gap(line + QStringLiteral(": ссылка на документ %1, которого нет в "
                                          "списке документов")
                               .arg(link.documentId),
                    Gap::Place::Links, entry, material);
            else if (!arePages(link.pages))
                gap(line + QStringLiteral(": в ссылке на документ %1 нужны номера "
                                          "страниц через пробел")
                               .arg(link.documentId),
                    Gap::Place::Links, entry, material);
        }
    }

    // The unit, the figure and its formula of a line, the formula giving the figure.
    void figure(const QString &unit, const std::optional<double> &quantity, const QString &formula,
                const QString &line, int entry, int material)
    {
        if (unit.trimmed().isEmpty())
            gap(line + QStringLiteral(": нет единицы измерения"), Gap::Place::Unit, entry,
                material);
        if (!quantity) {
            gap(line + QStringLiteral(": нет количества"), Gap::Place::Quantity, entry, material);
            return;
        }
        if (formula.trimmed().isEmpty()) {
            gap(line + QStringLiteral(": нет формулы количества"), Gap::Place::Formula, entry,
                material);
            return;
        }
        const std::optional<double> value = bom::evaluateFormula(formula);
        if (!value)
            gap(line + QStringLiteral(": формула «%1» не читается — нужны числа с "
                                      "точкой, + - * / и скобки")
                           .arg(formula),
                Gap::Place::Formula, entry, material);
        else if (!agrees(*value, *quantity))
            gap(line + QStringLiteral(": формула «%1» дает %2, а количество %3")
                           .arg(formula, quantityText(*value), quantityText(*quantity)),
                Gap::Place::Formula, entry, material);
    }

    void entry(int row)
    {
        const bom::Entry &entry = bill.entries.at(row);
        const QString line = QStringLiteral("Запись %1").arg(row + 1);
        if (entry.manual) {
            bool followEntry = false;
            for (int i = 0; i < entry.materials.size(); ++i) {
                const bom::Material &material = entry.materials.at(i);
                const QString named = QStringLiteral("%1, «%2»").arg(line, material.key.name);
                figure(material.key.unit, material.quantity, material.formula, named, row, i);
                if (material.links.isEmpty())
                    followEntry = true;
                else
                    links(material.links, named, row, i);
            }
            if (followEntry)
                links(entry.links, line, row, -1);
            return;
        }
        if (entry.work.trimmed().isEmpty())
            gap(line + QStringLiteral(": нет наименования работы"), Gap::Place::Work, row);
        figure(entry.volume.unit, entry.volume.quantity, entry.volume.formula,
               line + QStringLiteral(", объем работ"), row, -1);
        links(entry.links, line, row, -1);
        for (int i = 0; i < entry.materials.size(); ++i) {
            const bom::Material &material = entry.materials.at(i);
            if (!isLine(material))
                continue;
            const QString named = QStringLiteral("%1, «%2»").arg(line, material.key.name);
            figure(material.key.unit, material.quantity, material.formula, named, row, i);
            if (!material.links.isEmpty())
                links(material.links, named, row, i);
        }
    }
};

// A carriage return written as it is would read back as a line feed: it goes as a reference.
void writeText(QXmlStreamWriter &xml, const QString &element, const QString &text)
{
    xml.writeStartElement(element);
    const QStringList pieces = text.split(u'\r');
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        if (i > 0)
            xml.writeEntityReference(QStringLiteral("#13"));
        xml.writeCharacters(pieces.at(i));
    }
    xml.writeEndElement();
}

void writeLinks(QXmlStreamWriter &xml, const QList<bom::Link> &links)
{
    xml.writeStartElement(QStringLiteral("Links"));
    for (const bom::Link &link : links) {
        xml.writeStartElement(QStringLiteral("Link"));
        writeText(xml, QStringLiteral("FileID"), QString::number(link.documentId));
        writeText(xml, QStringLiteral("PageNumber"), link.pages.simplified());
        writeText(xml, QStringLiteral("PageDescription"), link.description);
        xml.writeEndElement();
    }
    xml.writeEndElement();
}

// The fields of a line, from its number to its comment.
void writeItem(QXmlStreamWriter &xml, int num, const QString &type, const QString &name,
               const QString &unit, double quantity, const QString &formula,
               const QList<bom::Link> &links, const QString &comment)
{
    writeText(xml, QStringLiteral("Num"), QString::number(num));
    writeText(xml, QStringLiteral("Type"), type);
    writeText(xml, QStringLiteral("Name"), name);
    writeText(xml, QStringLiteral("Unit"), unit);
    writeText(xml, QStringLiteral("Quantity"), quantityText(quantity));
    writeText(xml, QStringLiteral("QuantityFormula"), formula);
    writeLinks(xml, links);
    if (!comment.trimmed().isEmpty())
        writeText(xml, QStringLiteral("Comment"), comment);
}

void writeManualLines(QXmlStreamWriter &xml, const bom::Entry &entry, int &num)
{
    for (const bom::Material &material : entry.materials) {
        if (!material.quantity)
            continue;
        xml.writeStartElement(QStringLiteral("Work"));
        writeItem(xml, ++num, bom::resourceTypeText(typeOf(material)), material.key.name,
                  material.key.unit, times(entry.count, *material.quantity),
                  timesFormula(entry.count, material.formula),
                  material.links.isEmpty() ? entry.links : material.links, entry.note);
        xml.writeEndElement();
    }
}

void writeWork(QXmlStreamWriter &xml, const bom::Entry &entry, int &num)
{
    xml.writeStartElement(QStringLiteral("Work"));
    writeItem(xml, ++num, kWorkType, entry.work, entry.volume.unit,
              times(entry.count, entry.volume.quantity.value_or(0)),
              timesFormula(entry.count, entry.volume.formula), entry.links, entry.note);
    QList<const bom::Material *> resources;
    for (const bom::Material &material : entry.materials) {
        if (isLine(material))
            resources.append(&material);
    }
    if (!resources.isEmpty()) {
        xml.writeStartElement(QStringLiteral("Resources"));
        int resourceNum = 0;
        for (const bom::Material *material : resources) {
            xml.writeStartElement(QStringLiteral("Resource"));
            writeItem(xml, ++resourceNum, bom::resourceTypeText(typeOf(*material)),
                      material->key.name, material->key.unit,
                      times(entry.count, *material->quantity),
                      timesFormula(entry.count, material->formula),
                      material->links.isEmpty() ? entry.links : material->links, material->comment);
            xml.writeEndElement();
        }
        xml.writeEndElement();
    }
    xml.writeEndElement();
}

void writeSignature(QXmlStreamWriter &xml, const QString &element, const QString &name,
                    const QString &position)
{
    xml.writeStartElement(element);
    writeText(xml, QStringLiteral("Name"), name);
    writeText(xml, QStringLiteral("Position"), position);
    xml.writeEndElement();
}

// --- Reading ---------------------------------------------------------------------------------

using xmltree::Failure;
using xmltree::Node;

const xmltree::Kind &kind()
{
    static const xmltree::Kind vor{QStringLiteral("Файл ВОР"), QStringLiteral("ведомость"),
                                   QStringLiteral("ведомость объемов работ")};
    return vor;
}

[[noreturn]] void fail(const Node &node, const QString &what)
{
    xmltree::fail(kind(), node, what);
}

const Node &required(const Node &parent, const char *name)
{
    return xmltree::required(kind(), parent, QLatin1String(name));
}

QString optionalText(const Node &parent, const char *name)
{
    const Node *node = parent.child(QLatin1String(name));
    return node ? node->text.trimmed() : QString();
}

qint64 positive(const Node &node)
{
    bool ok = false;
    const qint64 value = node.text.trimmed().toLongLong(&ok);
    if (!ok || value < 1 || value > 1'000'000'000)
        fail(node, QStringLiteral("в «%1» ожидалось целое число больше нуля").arg(node.name));
    return value;
}

double decimal(const Node &node)
{
    return xmltree::decimal(kind(), node);
}

QList<bom::Link> readLinks(const Node &item)
{
    QList<bom::Link> links;
    for (const Node &link : required(item, "Links").children) {
        if (link.name != QStringLiteral("Link"))
            continue;
        const int id = int(positive(required(link, "FileID")));
        // A reference by pages; references into an IFC model have no pages to keep.
        const QList<Node> &parts = link.children;
        for (qsizetype i = 0; i < parts.size(); ++i) {
            if (parts.at(i).name != QStringLiteral("PageNumber"))
                continue;
            const QString pages = parts.at(i).text.simplified();
            if (!arePages(pages))
                fail(parts.at(i), QStringLiteral("в «PageNumber» ожидались номера страниц через "
                                                 "пробел"));
            const bool described =
                i + 1 < parts.size() && parts.at(i + 1).name == QStringLiteral("PageDescription");
            links.append({id, pages, described ? parts.at(i + 1).text : QString()});
        }
    }
    if (links.isEmpty())
        fail(item, QStringLiteral("у позиции нет ссылки на страницы документа"));
    return links;
}

struct Item
{
    QString type;
    QString name;
    QString unit;
    double quantity = 0;
    QString formula;
    QList<bom::Link> links;
    QString comment;
};

Item readItem(const Node &node)
{
    Item item;
    positive(required(node, "Num"));
    item.type = optionalText(node, "Type");
    if (!item.type.isEmpty() && item.type != kWorkType && !bom::resourceTypeOf(item.type))
        fail(*node.child(QStringLiteral("Type")),
             QStringLiteral("неизвестный тип позиции «%1»").arg(item.type));
    // Free texts are kept as the file has them, spaces and all, to be written back the same.
    item.name = required(node, "Name").text;
    item.unit = required(node, "Unit").text.trimmed();
    item.quantity = decimal(required(node, "Quantity"));
    item.formula = required(node, "QuantityFormula").text.trimmed();
    item.links = readLinks(node);
    if (const Node *comment = node.child(QStringLiteral("Comment")))
        item.comment = comment->text;
    return item;
}

bom::Material materialOf(const Item &item, const QList<bom::Link> &workLinks)
{
    const std::optional<bom::ResourceType> type = bom::resourceTypeOf(item.type);
    const bool machine = type == bom::ResourceType::Machine;
    bom::Material material =
        bom::material(item.name, item.unit, item.quantity,
                      machine ? bom::MaterialKind::Machine : bom::MaterialKind::Buy);
    // The name as the file gives it, not in the form the totals compare.
    material.key.name = item.name;
    material.formula = item.formula;
    // A material follows its work's references unless it has its own.
    if (item.links != workLinks)
        material.links = item.links;
    if (type && type != bom::ResourceType::Material && !machine)
        material.type = type;
    return material;
}

struct Reader
{
    bom::Bill bill;
    QDateTime added;

    void append(const bom::Entry &entry, const Node &node)
    {
        if (bill.entries.size() >= bom::kMaxEntryCount)
            fail(node, QStringLiteral("слишком много позиций"));
        bill.entries.append(entry);
    }

    // A line that is not a work is a material of its own, as one typed by hand.
    void manualLine(const Item &item, int section, const Node &node)
    {
        bom::Entry entry;
        entry.added = added;
        entry.work = bom::manualWork();
        entry.manual = true;
        entry.section = section;
        entry.links = item.links;
        entry.note = item.comment;
        bom::Material material = materialOf(item, item.links);
        material.source = bom::manualSource();
        if (item.type.isEmpty())
            material.type.reset();
        entry.materials.append(material);
        append(entry, node);
    }

    void work(const Node &node, int section)
    {
        const Item item = readItem(node);
        if (!item.type.isEmpty() && item.type != kWorkType) {
            manualLine(item, section, node);
            return;
        }
        bom::Entry entry;
        entry.added = added;
        entry.work = item.name;
        entry.section = section;
        entry.links = item.links;
        entry.volume = {bom::normalUnit(item.unit), item.quantity, item.formula};
        entry.note = item.comment;
        if (const Node *resources = node.child(QStringLiteral("Resources"))) {
            for (const Node &resource : resources->children) {
                if (resource.name != QStringLiteral("Resource"))
                    continue;
                const Item part = readItem(resource);
                entry.materials.append(materialOf(part, item.links));
                entry.materials.last().comment = part.comment;
            }
        }
        append(entry, node);
    }

    void section(const Node &node)
    {
        QString name = optionalText(node, "Name");
        if (name.isEmpty())
            name = QStringLiteral("Раздел %1").arg(bill.sections.size() + 1);
        const int index = int(bill.sections.size());
        bill.sections.append({name});
        for (const Node &child : node.children) {
            if (child.name == QStringLiteral("Works")) {
                for (const Node &line : child.children) {
                    if (line.name == QStringLiteral("Work"))
                        work(line, index);
                    else if (line.name == QStringLiteral("Resource"))
                        manualLine(readItem(line), index, line);
                }
            } else if (child.name == QStringLiteral("Section")) {
                section(child);
            }
        }
    }

    void head(const Node &root)
    {
        bom::Head &head = bill.head;
        head.accessLevel = optionalText(root, "AccessLevel");
        if (!head.accessLevel.isEmpty() && !bom::accessLevels().contains(head.accessLevel))
            fail(*root.child(QStringLiteral("AccessLevel")),
                 QStringLiteral("неизвестный уровень доступа «%1»").arg(head.accessLevel));
        head.constructionSite = required(root, "ConstructionSite").text.trimmed();
        head.object = required(root, "ObjectName").text.trimmed();
        head.number = optionalText(root, "Num");
        head.reason = required(root, "Reason").text.trimmed();
        const Node &date = required(root, "Date");
        head.date =
            QDate(int(positive(required(date, "Year"))), int(positive(required(date, "Month"))),
                  int(positive(required(date, "Day"))));
        if (!head.date.isValid())
            fail(date, QStringLiteral("такой даты нет"));
        const Node &signatures = required(root, "Signatures");
        const Node &composer = required(signatures, "Composer");
        const Node &verifier = required(signatures, "Verifier");
        head.compiledBy = required(composer, "Name").text.trimmed();
        head.compiledPosition = required(composer, "Position").text.trimmed();
        head.checkedBy = required(verifier, "Name").text.trimmed();
        head.checkedPosition = required(verifier, "Position").text.trimmed();
    }

    void documents(const Node &root)
    {
        QSet<int> ids;
        for (const Node &file : required(root, "Files").children) {
            if (file.name != QStringLiteral("File"))
                continue;
            const int id = int(positive(required(file, "ID")));
            if (ids.contains(id))
                fail(file, QStringLiteral("файл %1 указан дважды").arg(id));
            ids.insert(id);
            bill.documents.append({id, required(file, "FileName").text.trimmed()});
        }
    }

    void construction(const Node &root)
    {
        const Node &meta = required(root, "Meta");
        const Node &file = required(meta, "File");
        const Node &type = required(file, "Type");
        if (type.text.trimmed() != kFileType)
            fail(type,
                 QStringLiteral("это не ведомость объемов работ, а «%1»").arg(type.text.trimmed()));
        const Node &version = required(file, "Version");
        if (version.text.trimmed() != kFormatVersion)
            fail(version, QStringLiteral("версия формата %1, а программа читает версию %2")
                              .arg(version.text.trimmed(), kFormatVersion));
        head(root);
        documents(root);
        bill.sections.clear();
        for (const Node &node : required(root, "Sections").children) {
            if (node.name == QStringLiteral("Section"))
                section(node);
        }
        if (bill.sections.isEmpty())
            bill.sections.append({bom::firstSectionName()});
    }
};

} // namespace

QString quantityText(double value)
{
    // The bill's format: six significant digits.
    constexpr calc::ResultFormat kShown{6, 3};
    const QString text = calc::resultText(value, kShown, u'.');
    if (!text.contains(u'E'))
        return text;
    // A decimal has no exponent: the same digits written out.
    const int before = value == 0 ? 1 : int(std::floor(std::log10(std::fabs(value)))) + 1;
    // Past the digits shown, a large figure reads as zeros.
    const double whole = before > kShown.precision
                             ? std::round(value / std::pow(10.0, before - kShown.precision)) *
                                   std::pow(10.0, before - kShown.precision)
                             : value;
    QString fixed = QString::number(whole, 'f', std::max(0, kShown.precision - before));
    if (fixed.contains(u'.')) {
        while (fixed.endsWith(u'0'))
            fixed.chop(1);
        if (fixed.endsWith(u'.'))
            fixed.chop(1);
    }
    return fixed;
}

QList<Gap> check(const bom::Bill &bill)
{
    Checker checker{bill, {}};
    const bom::Head &head = bill.head;
    checker.head(head.constructionSite, "constructionSite", "Не указана стройка");
    checker.head(head.object, "object", "Не указан объект");
    checker.head(head.reason, "reason", "Не указано основание");
    if (!head.date.isValid())
        checker.gap(QStringLiteral("Не указана дата"), Gap::Place::Head, -1, -1,
                    QStringLiteral("date"));
    checker.head(head.compiledBy, "compiledBy", "Не указан составивший");
    checker.head(head.compiledPosition, "compiledPosition", "Не указана должность составившего");
    checker.head(head.checkedBy, "checkedBy", "Не указан проверивший");
    checker.head(head.checkedPosition, "checkedPosition", "Не указана должность проверившего");
    if (bill.documents.isEmpty())
        checker.gap(QStringLiteral("Нет ни одного документа, на который ссылаются "
                                   "записи"),
                    Gap::Place::Documents);
    QSet<int> ids;
    for (const bom::Document &document : bill.documents) {
        if (document.id < 1 || ids.contains(document.id))
            checker.gap(QStringLiteral("Документ %1: номер должен быть больше нуля и "
                                       "не повторяться")
                            .arg(document.id),
                        Gap::Place::Documents);
        else if (document.fileName.trimmed().isEmpty())
            checker.gap(QStringLiteral("Документ %1: нет имени файла").arg(document.id),
                        Gap::Place::Documents);
        ids.insert(document.id);
    }
    if (bill.entries.isEmpty())
        checker.gap(QStringLiteral("В ведомости нет записей"), Gap::Place::Sections);
    for (int row = 0; row < bill.entries.size(); ++row)
        checker.entry(row);
    return checker.gaps;
}

QByteArray encode(const bom::Bill &bill, const Meta &meta)
{
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(2);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("Construction"));
    xml.writeNamespace(QStringLiteral("http://www.w3.org/2001/XMLSchema-instance"),
                       QStringLiteral("xsi"));
    xml.writeAttribute(QStringLiteral("http://www.w3.org/2001/XMLSchema-instance"),
                       QStringLiteral("noNamespaceSchemaLocation"),
                       QStringLiteral("QuantityTakeoff-3_01.xsd"));
    xml.writeStartElement(QStringLiteral("Meta"));
    xml.writeStartElement(QStringLiteral("Soft"));
    writeText(xml, QStringLiteral("Name"), meta.softName);
    writeText(xml, QStringLiteral("Version"), meta.softVersion);
    xml.writeEndElement();
    xml.writeStartElement(QStringLiteral("File"));
    writeText(xml, QStringLiteral("Type"), kFileType);
    writeText(xml, QStringLiteral("Version"), kFormatVersion);
    xml.writeEndElement();
    xml.writeEndElement();

    const bom::Head &head = bill.head;
    if (!head.accessLevel.isEmpty())
        writeText(xml, QStringLiteral("AccessLevel"), head.accessLevel);
    writeText(xml, QStringLiteral("ConstructionSite"), head.constructionSite);
    writeText(xml, QStringLiteral("ObjectName"), head.object);
    if (!head.number.isEmpty())
        writeText(xml, QStringLiteral("Num"), head.number);
    writeText(xml, QStringLiteral("Reason"), head.reason);
    xml.writeStartElement(QStringLiteral("Date"));
    writeText(xml, QStringLiteral("Year"), QString::number(head.date.year()));
    writeText(xml, QStringLiteral("Month"), QString::number(head.date.month()));
    writeText(xml, QStringLiteral("Day"), QString::number(head.date.day()));
    xml.writeEndElement();
    // Local time with its offset from UTC.
    QDateTime exported = meta.exported;
    exported.setTime(
        QTime(exported.time().hour(), exported.time().minute(), exported.time().second()));
    writeText(xml, QStringLiteral("ExportDateTime"),
              exported.toOffsetFromUtc(exported.offsetFromUtc()).toString(Qt::ISODate));
    xml.writeStartElement(QStringLiteral("Signatures"));
    writeSignature(xml, QStringLiteral("Composer"), head.compiledBy, head.compiledPosition);
    writeSignature(xml, QStringLiteral("Verifier"), head.checkedBy, head.checkedPosition);
    xml.writeEndElement();

    xml.writeStartElement(QStringLiteral("Files"));
    for (const bom::Document &document : bill.documents) {
        xml.writeStartElement(QStringLiteral("File"));
        writeText(xml, QStringLiteral("ID"), QString::number(document.id));
        writeText(xml, QStringLiteral("FileName"), document.fileName);
        xml.writeEndElement();
    }
    xml.writeEndElement();

    xml.writeStartElement(QStringLiteral("Sections"));
    int sectionNum = 0;
    int num = 0;
    for (int section = 0; section < bill.sections.size(); ++section) {
        QList<const bom::Entry *> entries;
        for (const bom::Entry &entry : bill.entries) {
            if (entry.section == section)
                entries.append(&entry);
        }
        // A section holds at least one line: an empty one is left out.
        if (entries.isEmpty())
            continue;
        xml.writeStartElement(QStringLiteral("Section"));
        writeText(xml, QStringLiteral("Num"), QString::number(++sectionNum));
        writeText(xml, QStringLiteral("Name"), bill.sections.at(section).name);
        xml.writeStartElement(QStringLiteral("Works"));
        for (const bom::Entry *entry : entries) {
            if (entry->manual)
                writeManualLines(xml, *entry, num);
            else
                writeWork(xml, *entry, num);
        }
        xml.writeEndElement();
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    return bytes;
}

Reading decode(const QByteArray &bytes, const QDateTime &added)
{
    if (bytes.size() > billfile::kMaxBytes)
        return {std::nullopt, QStringLiteral("Файл слишком велик для ведомости объемов работ.")};
    try {
        Reader reader{{}, added.toUTC()};
        reader.construction(xmltree::readRoot(kind(), bytes));
        return {reader.bill, QString()};
    } catch (const Failure &failure) {
        return {std::nullopt, failure.what};
    }
}

Reading read(const QString &path, const QDateTime &added)
{
    const xmltree::FileBytes file = xmltree::readFile(path, billfile::kMaxBytes);
    if (!file.failure.isEmpty())
        return {std::nullopt, file.failure};
    return decode(file.bytes, added);
}

std::optional<QString> write(const bom::Bill &bill, const Meta &meta, const QString &path)
{
    const QList<Gap> gaps = check(bill);
    if (!gaps.isEmpty()) {
        QStringList lines;
        for (const Gap &gap : gaps)
            lines.append(gap.text);
        return QStringLiteral("Ведомость объемов работ не записана — не хватает данных:\n") +
               lines.join(u'\n');
    }
    return billfile::writeBytes(encode(bill, meta), path, billfile::Writing::Export);
}

} // namespace vorfile
