#pragma once

#include "billfigure.h"
#include "estimateterms.h"
#include "vor.h"

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QMap>
#include <QString>

#include <optional>

// A bill of materials: computations collected into one object, each with the materials it
// needs, and what the buyer knows of each material (reserve, pack size, price).
namespace bom {

// A material with a unit in the form the totals compare (see units.h). Two lines are one material
// only when they say the same in every part: a norm may list two materials under one group code
// of the classifier (the upper and the lower layers of a roof), and they stay apart.
struct MaterialKey
{
    QString name;
    QString unit;
    QString code; // the norm base's resource code, "01.7.15.06-0111"; empty for the pages' figures

    bool hasCode() const { return !code.isEmpty(); }

    friend bool operator==(const MaterialKey &a, const MaterialKey &b)
    {
        return a.code == b.code && a.name == b.name && a.unit == b.unit;
    }
    // Materials without a code first, then the coded ones by code, then by name and unit.
    friend bool operator<(const MaterialKey &a, const MaterialKey &b)
    {
        if (a.hasCode() != b.hasCode())
            return b.hasCode();
        if (a.code != b.code)
            return a.code < b.code;
        return a.name != b.name ? a.name < b.name : a.unit < b.unit;
    }
};

inline size_t qHash(const MaterialKey &key, size_t seed = 0)
{
    return ::qHash(key.code, seed) ^ (::qHash(key.name, seed) * 31) ^
           (::qHash(key.unit, seed) * 1009);
}

// The same key in every part, name and unit of a coded one included: what a file or an entry
// holds, as opposed to which material it is.
inline bool samePlainKey(const MaterialKey &a, const MaterialKey &b)
{
    return a.code == b.code && a.name == b.name && a.unit == b.unit;
}

// What a figure is to the buyer: a material bought, a volume of work (kept with its entry and
// out of the totals), a mixture made of the materials that name it in partOf (the parts are
// bought; the mixture is not bought a second time), or a norm's hours of labour (чел.-ч) or of
// machines (маш.-ч), which are summed apart from what is bought.
enum class MaterialKind
{
    Buy,
    WorkVolume,
    Composite,
    Labour,
    Machine,
};

inline bool isHours(MaterialKind kind)
{
    return kind == MaterialKind::Labour || kind == MaterialKind::Machine;
}

// What a page's figure is to the buyer.
MaterialKind kindOf(calc::FigureKind kind);

struct Material
{
    MaterialKey key;
    // The figure of one work of the entry, as the page kept it, never the rounded text; none for
    // a row shown as "—".
    std::optional<double> quantity;
    MaterialKind kind = MaterialKind::Buy;
    QString partOf; // the composite this material goes into, if any
    QString source; // the computation or norm that made the figure, or "вручную"
    // For a bill of quantities: the arithmetic of the figure with a point (`4.67*1.05`), the
    // material's own references (none: the entry's), a type picked instead of the kind's and the
    // line's own comment.
    QString formula;
    QList<Link> links;
    std::optional<ResourceType> type;
    QString comment;

    // Every part counts here, the name of a coded material too: two entries are the same
    // results only when they say the same.
    friend bool operator==(const Material &a, const Material &b)
    {
        return samePlainKey(a.key, b.key) && a.quantity == b.quantity && a.kind == b.kind &&
               a.partOf == b.partOf && a.source == b.source && a.formula == b.formula &&
               a.links == b.links && a.type == b.type && a.comment == b.comment;
    }
};

// Makes a material from what a page showed: its caption and its figure. Only files written
// before figures were data need it.
Material materialFromCaption(const QString &caption, std::optional<double> quantity);
// Makes a material from a name and a unit, each put into the form the totals compare, and a
// norm's resource code, if it has one.
Material material(const QString &name, const QString &unit, std::optional<double> quantity,
                  MaterialKind kind = MaterialKind::Buy, const QString &partOf = {},
                  const QString &source = {}, const QString &code = {});

inline constexpr int kMaxEntryCount = 1'000'000;

struct Entry
{
    QDateTime added;
    QString work;   // the catalogue node and the variant
    QString inputs; // the inputs as the user typed them
    QList<Material> materials;
    int count = 1; // identical works: twelve equal foundations are one entry × 12
    QString note;
    bool manual = false; // a material the user typed in, not a page's computation
    // The norm the entry was computed from, «ГЭСН 06-01-001-01» or a firm code, and for a firm
    // norm its version then, so that a later version can be told; empty for the pages.
    QString normCode;
    int normVersion = 0;
    // For a bill of quantities: the section (an index into the bill's), the references to the
    // design documents and the amount of one work with its arithmetic.
    int section = 0;
    QList<Link> links;
    Volume volume;

    friend bool operator==(const Entry &, const Entry &) = default;
};

// The same computation as another entry: work, conditions and figures, whatever the moment,
// count or note.
bool sameResults(const Entry &a, const Entry &b);

// The work of an entry of materials typed in by hand, and their source.
QString manualWork();
QString manualSource();

// A price is either per unit of the material or per pack, as the user typed it; the sum never
// changes meaning when a pack size is typed.
enum class PriceBasis
{
    PerUnit,
    PerPack,
};

// A price taken from the federal price catalogue: its base level and the index it was multiplied
// by. A price without an origin is one the user typed.
struct PriceOrigin
{
    QString level; // «01.01.2022»
    double index = 1;

    friend bool operator==(const PriceOrigin &, const PriceOrigin &) = default;
};

// What the buyer sets per material, and per machine its price of a machine-hour.
struct Terms
{
    double reservePercent = 0;
    std::optional<double> packSize; // empty: sold by the unit
    std::optional<qint64> priceKopecks;
    PriceBasis priceBasis = PriceBasis::PerUnit;
    std::optional<PriceOrigin> priceOrigin; // set only with a price per unit from the catalogue

    friend bool operator==(const Terms &, const Terms &) = default;
};

// A material of the pages (no code) that the user has linked to a resource of the price
// catalogue: in the totals it counts as that resource, in the resource's unit.
struct ResourceLink
{
    QString code;
    QString name; // the catalogue's name and unit of the resource
    QString unit;
    double factor = 1; // the material's unit in the resource's: 0,001 from кг to т

    friend bool operator==(const ResourceLink &, const ResourceLink &) = default;
};

// The head of the document: what it is for and who answers for it.
struct Head
{
    QString object;
    QString customer;
    QString address;
    QString compiledBy;
    QString checkedBy;
    QDate date; // null: not set
    // What a bill of quantities adds: the positions of who compiled and who checked it, the
    // design section it is based on, its number, the construction site and the access level.
    QString compiledPosition;
    QString checkedPosition;
    QString reason;
    QString number;
    QString constructionSite;
    QString accessLevel; // empty or one of accessLevels()

    friend bool operator==(const Head &, const Head &) = default;
};

struct Bill
{
    Head head;
    QList<Entry> entries;
    QMap<MaterialKey, Terms> terms;
    // The index from the catalogue's base level to today's prices, as the user typed it.
    std::optional<double> priceIndex;
    // Materials of the pages, by name and unit, linked to a catalogue resource.
    QMap<MaterialKey, ResourceLink> links;
    QList<Section> sections{Section{firstSectionName()}}; // never empty
    QList<Document> documents;
    // The local estimate's terms, once the user has made one.
    std::optional<EstimateTerms> estimate;

    friend bool operator==(const Bill &, const Bill &) = default;
};

// Checks of what a user types into a cell or a file holds. A refusal says why, in Russian.
struct Refusal
{
    QString reason;
};

inline constexpr double kMaxReservePercent = 1000;
// Money stays within the integers a spreadsheet and JSON hold exactly.
inline constexpr qint64 kMaxKopecks = 9'000'000'000'000'000;

std::optional<Refusal> refusalOfReserve(double percent);
std::optional<Refusal> refusalOfPackSize(double size);
std::optional<Refusal> refusalOfPrice(qint64 kopecks);

// Texts typed into the cells, with the regional decimal separator. An empty text means 0 % for
// the reserve, "sold by the unit" for the pack size and "no price" for the price.
struct ReserveEdit
{
    double percent = 0;
    std::optional<Refusal> refusal;
};
struct PackSizeEdit
{
    std::optional<double> size;
    std::optional<Refusal> refusal;
};
struct PriceEdit
{
    std::optional<qint64> kopecks;
    std::optional<Refusal> refusal;
};

struct CountEdit
{
    int count = 1;
    std::optional<Refusal> refusal;
};
struct QuantityEdit
{
    double quantity = 0;
    std::optional<Refusal> refusal;
};

// A link of a material to a catalogue resource, or why there can be none.
struct LinkEdit
{
    std::optional<ResourceLink> link;
    std::optional<Refusal> refusal;
};

struct IndexEdit
{
    std::optional<double> index;
    std::optional<Refusal> refusal;
};

ReserveEdit readReserve(const QString &text);
// The price index: a number above zero that a double holds; an empty text is no index.
IndexEdit readPriceIndex(const QString &text);
// An index above this is asked about before it is taken: today's prices are some ten times the
// base level's, and a slip of the comma makes them a thousand.
inline constexpr double kIndexToAsk = 100;
// Links a material without a code to a catalogue resource when their units are one, or convert
// exactly (т and кг, м3 and л).
LinkEdit linkOf(const MaterialKey &material, const QString &code, const QString &resourceName,
                const QString &resourceUnit);
// A catalogue price at the base level, per the catalogue's unit, brought to a price per unit of
// a row (× factor) and to today's level (× index), in kopecks; none beyond kMaxKopecks.
std::optional<qint64> cataloguePrice(double baseCost, double factor, double index);
// Why an index cannot price the resource «name»: its catalogue price above zero would become
// 0,00 or go beyond kMaxKopecks. None when it can.
std::optional<Refusal> refusalOfIndexedPrice(const QString &name, double baseCost, double factor,
                                             double index);
PackSizeEdit readPackSize(const QString &text);
PriceEdit readPrice(const QString &text);
// A whole number of works from 1 to kMaxEntryCount; an empty text is refused.
CountEdit readCount(const QString &text);
// A quantity of a material typed by hand: a number not below zero.
QuantityEdit readQuantity(const QString &text);

} // namespace bom
