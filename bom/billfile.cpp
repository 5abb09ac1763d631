#include "billfile.h"

#include "billfigure.h"
#include "units.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <cmath>

namespace billfile {

namespace {

const QString kFormat = QStringLiteral("merilon-bom");
const QString kDateFormat = QStringLiteral("yyyy-MM-dd");

// The names the file gives the values of an enumeration.
template <typename Enum> struct Named
{
    Enum value;
    const char *name;
};

constexpr Named<bom::MaterialKind> kKinds[] = {{bom::MaterialKind::Buy, "buy"},
                                               {bom::MaterialKind::WorkVolume, "workVolume"},
                                               {bom::MaterialKind::Composite, "composite"},
                                               {bom::MaterialKind::Labour, "labour"},
                                               {bom::MaterialKind::Machine, "machine"}};
// Version 2 knew the first three kinds only: a later kind in such a file is damage.
constexpr Named<bom::MaterialKind> kKindsOfVersion2[] = {
    {bom::MaterialKind::Buy, "buy"},
    {bom::MaterialKind::WorkVolume, "workVolume"},
    {bom::MaterialKind::Composite, "composite"}};
constexpr Named<bom::PriceBasis> kPriceBases[] = {{bom::PriceBasis::PerUnit, "unit"},
                                                  {bom::PriceBasis::PerPack, "pack"}};

template <typename Enum, std::size_t N> QString nameOf(Enum value, const Named<Enum> (&names)[N])
{
    for (const Named<Enum> &named : names) {
        if (named.value == value)
            return QLatin1String(named.name);
    }
    // Only a value no reader could give lands here; the first keeps the file readable.
    return QLatin1String(names[0].name);
}

QJsonValue optionalNumber(const std::optional<double> &value)
{
    return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

// Thrown inside decode() only, with the message the user sees.
struct Damage
{
    QString what;
};

[[noreturn]] void damaged(const QString &place, const QString &expected)
{
    throw Damage{
        QStringLiteral("Файл ведомости поврежден: %1 — ожидалось %2.").arg(place, expected)};
}

QString field(const QString &where, const char *name)
{
    return QStringLiteral("%1, поле «%2»").arg(where, QLatin1String(name));
}

QString text(const QJsonObject &object, const char *name, const QString &where)
{
    const QJsonValue value = object.value(QLatin1String(name));
    if (!value.isString())
        damaged(field(where, name), QStringLiteral("текст"));
    return value.toString();
}

double finite(const QJsonObject &object, const char *name, const QString &where)
{
    const QJsonValue value = object.value(QLatin1String(name));
    if (!value.isDouble() || !std::isfinite(value.toDouble()))
        damaged(field(where, name), QStringLiteral("число"));
    return value.toDouble();
}

std::optional<double> optionalFinite(const QJsonObject &object, const char *name,
                                     const QString &where)
{
    const QJsonValue value = object.value(QLatin1String(name));
    if (value.isUndefined() || value.isNull())
        return std::nullopt;
    return finite(object, name, where);
}

// A text that older writers may have left out.
QString optionalText(const QJsonObject &object, const char *name, const QString &where)
{
    return object.contains(QLatin1String(name)) ? text(object, name, where) : QString();
}

bool optionalFlag(const QJsonObject &object, const char *name, const QString &where)
{
    const QJsonValue value = object.value(QLatin1String(name));
    if (value.isUndefined())
        return false;
    if (!value.isBool())
        damaged(field(where, name), QStringLiteral("«true» или «false»"));
    return value.toBool();
}

// A firm norm's version; none written for other entries.
int normVersion(const QJsonObject &object, const QString &where)
{
    const QJsonValue value = object.value(QLatin1String("normVersion"));
    if (value.isUndefined())
        return 0;
    const double number = value.toDouble(-1);
    if (!value.isDouble() || number != std::floor(number) || number < 1 || number > 1e9)
        damaged(field(where, "normVersion"), QStringLiteral("целое число больше нуля"));
    return int(number);
}

int entryCount(const QJsonObject &object, const QString &where)
{
    const QJsonValue value = object.value(QLatin1String("count"));
    const double count = value.toDouble(0);
    if (!value.isDouble() || count != std::floor(count) || count < 1 || count > bom::kMaxEntryCount)
        damaged(field(where, "count"),
                QStringLiteral("целое число от 1 до %1").arg(bom::kMaxEntryCount));
    return int(count);
}

template <typename Enum, std::size_t N>
Enum enumField(const QJsonObject &object, const char *name, const QString &where,
               const Named<Enum> (&names)[N])
{
    const QJsonValue value = object.value(QLatin1String(name));
    for (const Named<Enum> &named : names) {
        if (value.isString() && value.toString() == QLatin1String(named.name))
            return named.value;
    }
    QString expected;
    for (std::size_t i = 0; i < N; ++i) {
        if (i > 0)
            expected += i + 1 < N ? QStringLiteral(", ") : QStringLiteral(" или ");
        expected += QStringLiteral("«%1»").arg(QLatin1String(names[i].name));
    }
    damaged(field(where, name), expected);
}

QJsonArray array(const QJsonObject &object, const char *name, const QString &where)
{
    const QJsonValue value = object.value(QLatin1String(name));
    if (!value.isArray())
        damaged(field(where, name), QStringLiteral("список"));
    return value.toArray();
}

QJsonObject object(const QJsonValue &value, const QString &where)
{
    if (!value.isObject())
        damaged(where, QStringLiteral("объект"));
    return value.toObject();
}

// Version 1 kept a material's name and unit as the page's caption gave them ("Щиты опалубки
// 25 мм." without a unit), and nothing of what the figure is; the page that made it still knows,
// and its figure's name makes old and new entries of one material one row of the totals.
std::optional<calc::BillFigure> figureOf(const QString &name)
{
    const QString wanted = bom::normalName(name);
    for (const calc::BillFigure &figure : calc::pageFigures()) {
        if (figure.name == wanted || bom::splitCaption(figure.caption).name == wanted)
            return figure;
    }
    return std::nullopt;
}

bom::Material classified(const QString &name, const QString &unit, std::optional<double> quantity)
{
    const std::optional<calc::BillFigure> figure = figureOf(name);
    const QString normal = bom::normalUnit(unit);
    if (!figure || (!normal.isEmpty() && normal != figure->unit))
        return bom::material(name, unit, quantity);
    return bom::material(figure->name, figure->unit, quantity, bom::kindOf(figure->kind),
                         figure->partOf, figure->source);
}

// The references of a line; none when the file has none.
QList<bom::Link> readLinks(const QJsonObject &json, const QString &where)
{
    QList<bom::Link> links;
    if (!json.contains(QLatin1String("links")))
        return links;
    const QJsonArray list = array(json, "links", where);
    for (qsizetype i = 0; i < list.size(); ++i) {
        const QString place = QStringLiteral("%1, ссылка %2").arg(where, QString::number(i + 1));
        const QJsonObject link = object(list.at(i), place);
        const double id = finite(link, "document", place);
        if (id != std::floor(id) || id < 1 || id > 1e9)
            damaged(field(place, "document"), QStringLiteral("целое число больше нуля"));
        links.append({int(id), optionalText(link, "pages", place),
                      optionalText(link, "description", place)});
    }
    return links;
}

QJsonArray linksJson(const QList<bom::Link> &links)
{
    QJsonArray list;
    for (const bom::Link &link : links)
        list.append(QJsonObject{{QStringLiteral("document"), link.documentId},
                                {QStringLiteral("pages"), link.pages},
                                {QStringLiteral("description"), link.description}});
    return list;
}

// What a bill of quantities adds to a material; absent in files written before it.
void readVorMaterial(const QJsonObject &json, const QString &where, bom::Material &material)
{
    material.formula = optionalText(json, "formula", where);
    material.links = readLinks(json, where);
    material.comment = optionalText(json, "comment", where);
    const QString type = optionalText(json, "type", where);
    if (type.isEmpty())
        return;
    material.type = bom::resourceTypeOf(type);
    if (!material.type)
        damaged(field(where, "type"), QStringLiteral("тип ресурса ведомости объемов работ"));
}

bom::Material readMaterial(const QJsonObject &json, const QString &where, int version)
{
    const QString name = text(json, "name", where);
    const QString unit = text(json, "unit", where);
    const std::optional<double> quantity = optionalFinite(json, "quantity", where);
    if (version == 1)
        return classified(name, unit, quantity);
    const bom::MaterialKind kind = version == 2 ? enumField(json, "kind", where, kKindsOfVersion2)
                                                : enumField(json, "kind", where, kKinds);
    bom::Material material =
        bom::material(name, unit, quantity, kind, optionalText(json, "partOf", where),
                      optionalText(json, "source", where),
                      version > 2 ? optionalText(json, "code", where) : QString());
    // The program wrote the name in its own form, or as a bill of quantities gave it.
    material.key.name = name;
    readVorMaterial(json, where, material);
    return material;
}

bom::Volume readVolume(const QJsonObject &json, const QString &where)
{
    const QJsonValue value = json.value(QLatin1String("volume"));
    if (value.isUndefined())
        return {};
    const QString place = field(where, "volume");
    const QJsonObject volume = object(value, place);
    return {optionalText(volume, "unit", place), optionalFinite(volume, "quantity", place),
            optionalText(volume, "formula", place)};
}

bom::Entry readEntry(const QJsonObject &json, const QString &where, int version,
                     qsizetype sectionCount)
{
    bom::Entry entry;
    const QString added = text(json, "added", where);
    entry.added = QDateTime::fromString(added, Qt::ISODateWithMs);
    if (!entry.added.isValid())
        damaged(field(where, "added"), QStringLiteral("дата и время"));
    entry.added = entry.added.toUTC();
    entry.work = text(json, "work", where);
    entry.inputs = text(json, "inputs", where);
    if (version > 1) {
        entry.count = entryCount(json, where);
        entry.note = optionalText(json, "note", where);
        entry.manual = optionalFlag(json, "manual", where);
        entry.normCode = optionalText(json, "normCode", where);
        entry.normVersion = normVersion(json, where);
        const double section = json.value(QLatin1String("section")).toDouble(0);
        if (json.contains(QLatin1String("section")) &&
            (!json.value(QLatin1String("section")).isDouble() || section != std::floor(section) ||
             section < 0 || section >= double(sectionCount)))
            damaged(field(where, "section"), QStringLiteral("номер раздела ведомости"));
        entry.section = int(section);
        entry.links = readLinks(json, where);
        entry.volume = readVolume(json, where);
    }
    const QJsonArray materials = array(json, "materials", where);
    entry.materials.reserve(materials.size());
    for (qsizetype i = 0; i < materials.size(); ++i) {
        const QString place = QStringLiteral("%1, материал %2").arg(where, QString::number(i + 1));
        entry.materials.append(readMaterial(object(materials.at(i), place), place, version));
    }
    return entry;
}

void readTerms(const QJsonObject &json, const QString &where, int version, bom::Bill &bill)
{
    bom::Terms terms;
    terms.reservePercent = finite(json, "reservePercent", where);
    if (bom::refusalOfReserve(terms.reservePercent))
        damaged(field(where, "reservePercent"), QStringLiteral("число от 0 до 1000"));
    terms.packSize = optionalFinite(json, "packSize", where);
    if (terms.packSize && bom::refusalOfPackSize(*terms.packSize))
        damaged(field(where, "packSize"), QStringLiteral("число больше нуля"));
    if (const std::optional<double> price = optionalFinite(json, "priceKopecks", where)) {
        if (*price != std::floor(*price) || *price < 0 || *price > double(bom::kMaxKopecks))
            damaged(field(where, "priceKopecks"), QStringLiteral("целое число копеек"));
        terms.priceKopecks = qint64(*price);
    }
    // Version 1 priced a material per pack whenever it had a pack size.
    if (version == 1)
        terms.priceBasis = terms.packSize ? bom::PriceBasis::PerPack : bom::PriceBasis::PerUnit;
    else
        terms.priceBasis = enumField(json, "priceBasis", where, kPriceBases);
    if (version > 3) {
        if (const QJsonValue origin = json.value(QLatin1String("priceOrigin"));
            !origin.isUndefined() && !origin.isNull()) {
            const QString place = field(where, "priceOrigin");
            const QJsonObject originJson = object(origin, place);
            bom::PriceOrigin read;
            read.level = text(originJson, "level", place);
            read.index = finite(originJson, "index", place);
            if (!(read.index > 0))
                damaged(field(place, "index"), QStringLiteral("число больше нуля"));
            terms.priceOrigin = read;
        }
    }
    const QString name = text(json, "name", where);
    const QString unit = text(json, "unit", where);
    // The terms follow their material when version 1's caption gave it no unit.
    const QString code = version > 2 ? optionalText(json, "code", where) : QString();
    bom::Material key = version == 1 ? classified(name, unit, std::nullopt)
                                     : bom::material(name, unit, std::nullopt,
                                                     bom::MaterialKind::Buy, {}, {}, code);
    if (version > 1)
        key.key.name = name; // as its material's
    // Terms that say nothing are not kept, so that every bill has one form.
    if (terms == bom::Terms{})
        bill.terms.remove(key.key);
    else
        bill.terms.insert(key.key, terms);
}

bom::Head readHead(const QJsonObject &root)
{
    const QJsonValue value = root.value(QLatin1String("head"));
    if (value.isUndefined())
        return {};
    const QString where = QStringLiteral("шапка");
    const QJsonObject json = object(value, QStringLiteral("ведомость, поле «head»"));
    bom::Head head;
    head.object = optionalText(json, "object", where);
    head.customer = optionalText(json, "customer", where);
    head.address = optionalText(json, "address", where);
    head.compiledBy = optionalText(json, "compiledBy", where);
    head.checkedBy = optionalText(json, "checkedBy", where);
    head.compiledPosition = optionalText(json, "compiledPosition", where);
    head.checkedPosition = optionalText(json, "checkedPosition", where);
    head.reason = optionalText(json, "reason", where);
    head.number = optionalText(json, "number", where);
    head.constructionSite = optionalText(json, "constructionSite", where);
    head.accessLevel = optionalText(json, "accessLevel", where);
    if (!head.accessLevel.isEmpty() && !bom::accessLevels().contains(head.accessLevel))
        damaged(field(where, "accessLevel"), QStringLiteral("уровень доступа"));
    const QJsonValue date = json.value(QLatin1String("date"));
    if (date.isUndefined() || date.isNull())
        return head;
    head.date = QDate::fromString(date.toString(), kDateFormat);
    // Written back, the date must be the same text, or it was read as something else.
    if (!date.isString() || !head.date.isValid() ||
        head.date.toString(kDateFormat) != date.toString())
        damaged(field(where, "date"), QStringLiteral("дата вида ГГГГ-ММ-ДД"));
    return head;
}

void readLinks(const QJsonObject &root, bom::Bill &bill)
{
    const QJsonValue value = root.value(QLatin1String("links"));
    if (value.isUndefined())
        return;
    if (!value.isArray())
        damaged(QStringLiteral("ведомость, поле «links»"), QStringLiteral("список"));
    const QJsonArray list = value.toArray();
    for (qsizetype i = 0; i < list.size(); ++i) {
        const QString where = QStringLiteral("связь с ресурсом %1").arg(i + 1);
        const QJsonObject json = object(list.at(i), where);
        bom::MaterialKey key = bom::material({}, text(json, "unit", where), std::nullopt).key;
        key.name = text(json, "name", where); // as its material's
        const QString code = text(json, "code", where);
        if (code.trimmed().isEmpty())
            damaged(field(where, "code"), QStringLiteral("код ресурса"));
        // The factor is the units' own, never what the file says.
        const bom::LinkEdit link = bom::linkOf(key, code, text(json, "resourceName", where),
                                               text(json, "resourceUnit", where));
        if (!link.link)
            damaged(field(where, "resourceUnit"), QStringLiteral("единица материала или "
                                                                 "пересчитываемая в нее"));
        bill.links.insert(key, *link.link);
    }
}

void readPriceIndex(const QJsonObject &root, bom::Bill &bill)
{
    const QJsonValue value = root.value(QLatin1String("priceIndex"));
    if (value.isUndefined() || value.isNull())
        return;
    if (!value.isDouble() || !std::isfinite(value.toDouble()) || !(value.toDouble() > 0))
        damaged(QStringLiteral("ведомость, поле «priceIndex»"),
                QStringLiteral("число больше нуля"));
    bill.priceIndex = value.toDouble();
}

// Before version 4 a code alone made a row, which kept the name it first came with, and its
// terms were found by the code: terms whose name no material of the code has now (its entry was
// removed) go to the first material of that code and unit, as that row showed them.
void keepTermsWithTheirCode(bom::Bill &bill)
{
    QList<bom::MaterialKey> present;
    for (const bom::Entry &entry : std::as_const(bill.entries)) {
        for (const bom::Material &material : entry.materials) {
            if (material.key.hasCode() && !present.contains(material.key))
                present.append(material.key);
        }
    }
    const QList<bom::MaterialKey> keys = bill.terms.keys();
    for (const bom::MaterialKey &key : keys) {
        if (!key.hasCode() || present.contains(key))
            continue;
        for (const bom::MaterialKey &material : std::as_const(present)) {
            if (material.code == key.code && material.unit == key.unit &&
                !bill.terms.contains(material)) {
                bill.terms.insert(material, bill.terms.take(key));
                break;
            }
        }
    }
}

// Sections and documents came with bills of quantities; a bill without them has one section.
void readSections(const QJsonObject &root, bom::Bill &bill)
{
    const QString where = QStringLiteral("ведомость");
    if (root.contains(QLatin1String("sections"))) {
        const QJsonArray list = array(root, "sections", where);
        if (list.isEmpty())
            damaged(field(where, "sections"), QStringLiteral("хотя бы один раздел"));
        bill.sections.clear();
        for (qsizetype i = 0; i < list.size(); ++i) {
            const QString place = QStringLiteral("раздел %1").arg(i + 1);
            bill.sections.append({text(object(list.at(i), place), "name", place)});
        }
    }
    if (!root.contains(QLatin1String("documents")))
        return;
    const QJsonArray list = array(root, "documents", where);
    for (qsizetype i = 0; i < list.size(); ++i) {
        const QString place = QStringLiteral("документ %1").arg(i + 1);
        const QJsonObject json = object(list.at(i), place);
        const double id = finite(json, "id", place);
        if (id != std::floor(id) || id < 1 || id > 1e9)
            damaged(field(place, "id"), QStringLiteral("целое число больше нуля"));
        bill.documents.append({int(id), text(json, "fileName", place)});
    }
}

constexpr Named<bom::Territory> kTerritories[] = {{bom::Territory::Ordinary, "ordinary"},
                                                  {bom::Territory::Mprks, "mprks"},
                                                  {bom::Territory::Rks, "rks"}};
constexpr Named<bom::LegalAct::Role> kRoles[] = {{bom::LegalAct::Role::Main, "main"},
                                                 {bom::LegalAct::Role::Methodology, "methodology"},
                                                 {bom::LegalAct::Role::Overheads, "overheads"},
                                                 {bom::LegalAct::Role::Profits, "profits"},
                                                 {bom::LegalAct::Role::Indexes, "indexes"},
                                                 {bom::LegalAct::Role::Other, "other"}};
constexpr Named<bom::CoefficientTarget> kTargets[] = {
    {bom::CoefficientTarget::Volume, "volume"},
    {bom::CoefficientTarget::Labour, "labour"},
    {bom::CoefficientTarget::Machines, "machines"},
    {bom::CoefficientTarget::MachinistLabour, "machinistLabour"},
    {bom::CoefficientTarget::Materials, "materials"},
    {bom::CoefficientTarget::LabourHours, "labourHours"},
    {bom::CoefficientTarget::MachinistHours, "machinistHours"}};
constexpr Named<bom::TypedPrice::Kind> kPriceKinds[] = {{bom::TypedPrice::Kind::Current, "current"},
                                                        {bom::TypedPrice::Kind::Index, "index"}};

// A whole number from low to high.
int whole(const QJsonObject &object, const char *name, const QString &where, int low, int high)
{
    const double number = finite(object, name, where);
    if (number != std::floor(number) || number < low || number > high)
        damaged(field(where, name), QStringLiteral("целое число от %1 до %2").arg(low).arg(high));
    return int(number);
}

// The objects of a list the file may leave out, each read with its place.
template <typename Read>
void forEachObject(const QJsonObject &json, const char *name, const QString &where,
                   const QString &item, Read read)
{
    if (!json.contains(QLatin1String(name)))
        return;
    const QJsonArray list = array(json, name, where);
    for (qsizetype i = 0; i < list.size(); ++i) {
        const QString place = QStringLiteral("%1, %2 %3").arg(where, item, QString::number(i + 1));
        read(object(list.at(i), place), place);
    }
}

bom::LegalAct readLegalAct(const QJsonObject &json, const QString &where)
{
    bom::LegalAct act;
    act.role = enumField(json, "role", where, kRoles);
    act.name = text(json, "name", where);
    act.type = optionalText(json, "type", where);
    const QString date = optionalText(json, "date", where);
    act.date = QDate::fromString(date, kDateFormat);
    if (!date.isEmpty() && (!act.date.isValid() || act.date.toString(kDateFormat) != date))
        damaged(field(where, "date"), QStringLiteral("дата вида ГГГГ-ММ-ДД"));
    act.registerNumber = json.contains(QLatin1String("registerNumber"))
                             ? whole(json, "registerNumber", where, 0, 1'000'000'000)
                             : 0;
    act.orders = optionalText(json, "orders", where);
    return act;
}

bom::PositionTerms readPositionTerms(const QJsonObject &json, const QString &where)
{
    bom::PositionTerms terms;
    terms.entry = whole(json, "entry", where, 0, bom::kMaxEntryCount);
    terms.normCode = text(json, "normCode", where);
    terms.overheadReason = optionalText(json, "overheadReason", where);
    forEachObject(json, "coefficients", where, QStringLiteral("коэффициент"),
                  [&terms](const QJsonObject &item, const QString &place) {
                      terms.coefficients.append({text(item, "name", place),
                                                 optionalText(item, "reason", place),
                                                 enumField(item, "target", place, kTargets),
                                                 finite(item, "value", place)});
                  });
    forEachObject(json, "designChoices", where, QStringLiteral("материал по проекту"),
                  [&terms](const QJsonObject &item, const QString &place) {
                      terms.designChoices.append(
                          {text(item, "abstractCode", place), text(item, "code", place),
                           optionalText(item, "name", place), optionalText(item, "unit", place),
                           finite(item, "perUnit", place)});
                  });
    return terms;
}

// The local estimate's terms, which version 5 adds.
void readEstimate(const QJsonObject &root, bom::Bill &bill)
{
    const QJsonValue value = root.value(QLatin1String("estimate"));
    if (value.isUndefined() || value.isNull())
        return;
    const QString where = QStringLiteral("смета");
    const QJsonObject json = object(value, where);
    bom::EstimateTerms terms;
    terms.guid = optionalText(json, "guid", where);
    terms.number = optionalText(json, "number", where);
    terms.name = optionalText(json, "name", where);
    terms.reason = optionalText(json, "reason", where);
    terms.regionCode =
        json.contains(QLatin1String("regionCode")) ? whole(json, "regionCode", where, -1, 99) : -1;
    terms.regionName = optionalText(json, "regionName", where);
    terms.zoneCode = optionalText(json, "zoneCode", where);
    terms.zoneName = optionalText(json, "zoneName", where);
    if (json.contains(QLatin1String("priceList"))) {
        const QString place = field(where, "priceList");
        const QJsonObject list = object(json.value(QLatin1String("priceList")), place);
        terms.priceList = {text(list, "subject", place), text(list, "zone", place),
                           whole(list, "year", place, 1900, 2200),
                           whole(list, "quarter", place, 1, 4)};
    }
    terms.territory = json.contains(QLatin1String("territory"))
                          ? enumField(json, "territory", where, kTerritories)
                          : bom::Territory::Ordinary;
    forEachObject(json, "legal", where, QStringLiteral("акт"),
                  [&terms](const QJsonObject &item, const QString &place) {
                      terms.legal.append(readLegalAct(item, place));
                  });
    terms.salaryAct = optionalText(json, "salaryAct", where);
    forEachObject(json, "prices", where, QStringLiteral("цена"),
                  [&terms](const QJsonObject &item, const QString &place) {
                      terms.prices.append(
                          {text(item, "code", place), enumField(item, "kind", place, kPriceKinds),
                           finite(item, "value", place), optionalText(item, "basis", place)});
                  });
    forEachObject(json, "positions", where, QStringLiteral("позиция"),
                  [&terms](const QJsonObject &item, const QString &place) {
                      terms.positions.append(readPositionTerms(item, place));
                  });
    bill.estimate = terms;
}

QJsonObject estimateJson(const bom::EstimateTerms &terms)
{
    QJsonArray legal;
    for (const bom::LegalAct &act : terms.legal) {
        QJsonObject json{{QStringLiteral("role"), nameOf(act.role, kRoles)},
                         {QStringLiteral("name"), act.name},
                         {QStringLiteral("type"), act.type},
                         {QStringLiteral("orders"), act.orders}};
        if (act.date.isValid())
            json.insert(QStringLiteral("date"), act.date.toString(kDateFormat));
        if (act.registerNumber > 0)
            json.insert(QStringLiteral("registerNumber"), act.registerNumber);
        legal.append(json);
    }
    QJsonArray prices;
    for (const bom::TypedPrice &price : terms.prices)
        prices.append(QJsonObject{{QStringLiteral("code"), price.code},
                                  {QStringLiteral("kind"), nameOf(price.kind, kPriceKinds)},
                                  {QStringLiteral("value"), price.value},
                                  {QStringLiteral("basis"), price.basis}});
    QJsonArray positions;
    for (const bom::PositionTerms &position : terms.positions) {
        QJsonArray coefficients;
        for (const bom::Coefficient &coefficient : position.coefficients)
            coefficients.append(
                QJsonObject{{QStringLiteral("name"), coefficient.name},
                            {QStringLiteral("reason"), coefficient.reason},
                            {QStringLiteral("target"), nameOf(coefficient.target, kTargets)},
                            {QStringLiteral("value"), coefficient.value}});
        QJsonArray choices;
        for (const bom::DesignChoice &choice : position.designChoices)
            choices.append(QJsonObject{{QStringLiteral("abstractCode"), choice.abstractCode},
                                       {QStringLiteral("code"), choice.code},
                                       {QStringLiteral("name"), choice.name},
                                       {QStringLiteral("unit"), choice.unit},
                                       {QStringLiteral("perUnit"), choice.perUnit}});
        positions.append(QJsonObject{{QStringLiteral("entry"), position.entry},
                                     {QStringLiteral("normCode"), position.normCode},
                                     {QStringLiteral("overheadReason"), position.overheadReason},
                                     {QStringLiteral("coefficients"), coefficients},
                                     {QStringLiteral("designChoices"), choices}});
    }
    QJsonObject json{{QStringLiteral("guid"), terms.guid},
                     {QStringLiteral("number"), terms.number},
                     {QStringLiteral("name"), terms.name},
                     {QStringLiteral("reason"), terms.reason},
                     {QStringLiteral("regionCode"), terms.regionCode},
                     {QStringLiteral("regionName"), terms.regionName},
                     {QStringLiteral("zoneCode"), terms.zoneCode},
                     {QStringLiteral("zoneName"), terms.zoneName},
                     {QStringLiteral("territory"), nameOf(terms.territory, kTerritories)},
                     {QStringLiteral("legal"), legal},
                     {QStringLiteral("salaryAct"), terms.salaryAct},
                     {QStringLiteral("prices"), prices},
                     {QStringLiteral("positions"), positions}};
    if (!terms.priceList.isNull())
        json.insert(QStringLiteral("priceList"),
                    QJsonObject{{QStringLiteral("subject"), terms.priceList.subject},
                                {QStringLiteral("zone"), terms.priceList.zone},
                                {QStringLiteral("year"), terms.priceList.year},
                                {QStringLiteral("quarter"), terms.priceList.quarter}});
    return json;
}

bom::Bill readBill(const QJsonObject &root, int version)
{
    bom::Bill bill;
    if (version > 1)
        bill.head = readHead(root);
    readSections(root, bill);
    const QJsonArray entries = array(root, "entries", QStringLiteral("ведомость"));
    bill.entries.reserve(entries.size());
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const QString where = QStringLiteral("запись %1").arg(i + 1);
        bill.entries.append(
            readEntry(object(entries.at(i), where), where, version, bill.sections.size()));
    }
    if (version > 3) {
        readPriceIndex(root, bill);
        readLinks(root, bill);
    }
    if (version > 4)
        readEstimate(root, bill);
    const QJsonValue terms = root.value(QLatin1String("terms"));
    if (terms.isUndefined())
        return bill;
    if (!terms.isArray())
        damaged(QStringLiteral("ведомость, поле «terms»"), QStringLiteral("список"));
    const QJsonArray list = terms.toArray();
    for (qsizetype i = 0; i < list.size(); ++i) {
        const QString where = QStringLiteral("условия закупки %1").arg(i + 1);
        readTerms(object(list.at(i), where), where, version, bill);
    }
    if (version == 3)
        keepTermsWithTheirCode(bill);
    return bill;
}

Reading failure(const QString &message)
{
    return {std::nullopt, message};
}

QString tooLarge()
{
    return QStringLiteral("Файл слишком велик для ведомости материалов (больше %1 МБ).")
        .arg(kMaxBytes / (1024 * 1024));
}

} // namespace

QByteArray encode(const bom::Bill &bill)
{
    const bom::Head &head = bill.head;
    const QJsonObject headJson{
        {QStringLiteral("object"), head.object},
        {QStringLiteral("customer"), head.customer},
        {QStringLiteral("address"), head.address},
        {QStringLiteral("compiledBy"), head.compiledBy},
        {QStringLiteral("checkedBy"), head.checkedBy},
        {QStringLiteral("compiledPosition"), head.compiledPosition},
        {QStringLiteral("checkedPosition"), head.checkedPosition},
        {QStringLiteral("reason"), head.reason},
        {QStringLiteral("number"), head.number},
        {QStringLiteral("constructionSite"), head.constructionSite},
        {QStringLiteral("accessLevel"), head.accessLevel},
        {QStringLiteral("date"), head.date.isValid() ? QJsonValue(head.date.toString(kDateFormat))
                                                     : QJsonValue(QJsonValue::Null)}};
    QJsonArray entries;
    for (const bom::Entry &entry : bill.entries) {
        QJsonArray materials;
        for (const bom::Material &material : entry.materials) {
            QJsonObject json{{QStringLiteral("code"), material.key.code},
                             {QStringLiteral("name"), material.key.name},
                             {QStringLiteral("unit"), material.key.unit},
                             {QStringLiteral("quantity"), optionalNumber(material.quantity)},
                             {QStringLiteral("kind"), nameOf(material.kind, kKinds)},
                             {QStringLiteral("partOf"), material.partOf},
                             {QStringLiteral("source"), material.source}};
            if (!material.formula.isEmpty())
                json.insert(QStringLiteral("formula"), material.formula);
            if (!material.links.isEmpty())
                json.insert(QStringLiteral("links"), linksJson(material.links));
            if (material.type)
                json.insert(QStringLiteral("type"), bom::resourceTypeText(*material.type));
            if (!material.comment.isEmpty())
                json.insert(QStringLiteral("comment"), material.comment);
            materials.append(json);
        }
        QJsonObject json{{QStringLiteral("added"), entry.added.toUTC().toString(Qt::ISODateWithMs)},
                         {QStringLiteral("work"), entry.work},
                         {QStringLiteral("inputs"), entry.inputs},
                         {QStringLiteral("count"), entry.count},
                         {QStringLiteral("note"), entry.note},
                         {QStringLiteral("manual"), entry.manual},
                         {QStringLiteral("materials"), materials}};
        // Only entries of a norm say it, so a bill of the pages is written as it always was.
        if (!entry.normCode.isEmpty())
            json.insert(QStringLiteral("normCode"), entry.normCode);
        if (entry.normVersion > 0)
            json.insert(QStringLiteral("normVersion"), entry.normVersion);
        json.insert(QStringLiteral("section"), entry.section);
        if (!entry.links.isEmpty())
            json.insert(QStringLiteral("links"), linksJson(entry.links));
        if (!entry.volume.isEmpty())
            json.insert(
                QStringLiteral("volume"),
                QJsonObject{{QStringLiteral("unit"), entry.volume.unit},
                            {QStringLiteral("quantity"), optionalNumber(entry.volume.quantity)},
                            {QStringLiteral("formula"), entry.volume.formula}});
        entries.append(json);
    }
    QJsonArray terms;
    for (auto it = bill.terms.cbegin(); it != bill.terms.cend(); ++it) {
        QJsonObject json{{QStringLiteral("code"), it.key().code},
                         {QStringLiteral("name"), it.key().name},
                         {QStringLiteral("unit"), it.key().unit},
                         {QStringLiteral("reservePercent"), it->reservePercent},
                         {QStringLiteral("packSize"), optionalNumber(it->packSize)},
                         {QStringLiteral("priceKopecks"),
                          it->priceKopecks ? QJsonValue(double(*it->priceKopecks))
                                           : QJsonValue(QJsonValue::Null)},
                         {QStringLiteral("priceBasis"), nameOf(it->priceBasis, kPriceBases)}};
        if (it->priceOrigin)
            json.insert(QStringLiteral("priceOrigin"),
                        QJsonObject{{QStringLiteral("level"), it->priceOrigin->level},
                                    {QStringLiteral("index"), it->priceOrigin->index}});
        terms.append(json);
    }
    QJsonArray links;
    for (auto it = bill.links.cbegin(); it != bill.links.cend(); ++it)
        links.append(QJsonObject{{QStringLiteral("name"), it.key().name},
                                 {QStringLiteral("unit"), it.key().unit},
                                 {QStringLiteral("code"), it->code},
                                 {QStringLiteral("resourceName"), it->name},
                                 {QStringLiteral("resourceUnit"), it->unit}});
    QJsonArray sections;
    for (const bom::Section &section : bill.sections)
        sections.append(QJsonObject{{QStringLiteral("name"), section.name}});
    QJsonArray documents;
    for (const bom::Document &document : bill.documents)
        documents.append(QJsonObject{{QStringLiteral("id"), document.id},
                                     {QStringLiteral("fileName"), document.fileName}});
    QJsonObject root{
        {QStringLiteral("format"), kFormat},      {QStringLiteral("version"), kVersion},
        {QStringLiteral("head"), headJson},       {QStringLiteral("sections"), sections},
        {QStringLiteral("documents"), documents}, {QStringLiteral("entries"), entries},
        {QStringLiteral("terms"), terms}};
    // Only a bill that uses the catalogue says so, so a bill without it is written as before.
    if (bill.priceIndex)
        root.insert(QStringLiteral("priceIndex"), *bill.priceIndex);
    if (!links.isEmpty())
        root.insert(QStringLiteral("links"), links);
    if (bill.estimate)
        root.insert(QStringLiteral("estimate"), estimateJson(*bill.estimate));
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

Reading decode(const QByteArray &bytes)
{
    if (bytes.trimmed().isEmpty())
        return failure(QStringLiteral("Файл пуст: в нем нет ведомости материалов."));
    if (bytes.size() > kMaxBytes)
        return failure(tooLarge());
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError) {
        if (!bytes.trimmed().startsWith('{'))
            return failure(QStringLiteral("Это не файл ведомости материалов «Мерилон 3»."));
        qsizetype end = bytes.size();
        while (end > 0 && QChar::isSpace(uchar(bytes.at(end - 1))))
            --end;
        // The parser stops at the end of the data when the data stops too early.
        if (error.offset >= end)
            return failure(QStringLiteral("Файл ведомости обрезан: он кончается раньше, чем "
                                          "ведомость."));
        return failure(QStringLiteral("Файл ведомости поврежден: ошибка в байте %1 из %2.")
                           .arg(QString::number(error.offset), QString::number(bytes.size())));
    }
    if (!document.isObject() ||
        document.object().value(QLatin1String("format")).toString() != kFormat)
        return failure(QStringLiteral("Это не файл ведомости материалов «Мерилон 3»."));
    const QJsonObject root = document.object();
    const QJsonValue version = root.value(QLatin1String("version"));
    const double number = version.toDouble(-1);
    if (!version.isDouble() || number != std::floor(number) || number < 1)
        return failure(QStringLiteral("Файл ведомости поврежден: неизвестная версия формата."));
    if (number > kVersion)
        return failure(QStringLiteral("Ведомость сохранена более новой версией программы "
                                      "(формат %1), а эта версия открывает формат %2. "
                                      "Обновите программу, чтобы открыть файл.")
                           .arg(QString::number(number, 'f', 0), QString::number(kVersion)));
    try {
        return {readBill(root, int(number)), QString()};
    } catch (const Damage &damage) {
        return failure(damage.what);
    }
}

Reading read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (!file.exists())
            return failure(QStringLiteral("Файл «%1» не найден.").arg(path));
        return failure(QStringLiteral("Файл «%1» нельзя открыть: нет доступа.").arg(path));
    }
    if (file.size() > kMaxBytes)
        return failure(tooLarge());
    // A device may not know its size; never read more than a bill may hold.
    const QByteArray bytes = file.read(kMaxBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return failure(QStringLiteral("Файл «%1» не удалось прочитать.").arg(path));
    return decode(bytes);
}

std::optional<QString> write(const bom::Bill &bill, const QString &path)
{
    return writeBytes(encode(bill), path);
}

std::optional<QString> writeBytes(const QByteArray &bytes, const QString &path, Writing writing)
{
    // A save says what it could not do; an export says which file it could not write.
    const auto failed = [&path, writing](const QString &saving, const QString &exporting) {
        return writing == Writing::Save
                   ? QStringLiteral("Ведомость не сохранена: ") + saving
                   : QStringLiteral("Ведомость не экспортирована в файл «%1»: ").arg(path) +
                         exporting;
    };
    const QFileInfo target(path);
    if (target.isDir())
        return failed(QStringLiteral("«%1» — это папка.").arg(path), QStringLiteral("это папка."));
    // A file marked read-only stays so, even for a user who could replace it.
    if (target.exists() &&
        !(target.permissions() & (QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther)))
        return failed(QStringLiteral("файл «%1» защищен от записи.").arg(path),
                      QStringLiteral("файл защищен от записи."));
    if (!target.absoluteDir().exists()) {
        const QString reason = QStringLiteral("нет папки «%1».").arg(target.absolutePath());
        return failed(reason, reason);
    }

    QSaveFile file(path);
    // Unbuffered, so that a failed write is seen by commit() and never replaces the old file.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        const QString reason =
            QStringLiteral("в папку «%1» нельзя записывать.").arg(target.absolutePath());
        return failed(reason, reason);
    }
    if (file.write(bytes) != bytes.size() || !file.commit())
        return failed(QStringLiteral("ошибка записи в файл «%1» (нет места на диске?). Прежний "
                                     "файл не изменен.")
                          .arg(path),
                      QStringLiteral("ошибка записи (нет места на диске?). Прежний файл не "
                                     "изменен."));
    return std::nullopt;
}

} // namespace billfile
