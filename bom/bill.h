#pragma once

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QMap>
#include <QString>

#include <optional>

// A bill of materials: computations collected into one object, each with the materials it
// needs, and what the buyer knows of each material (reserve, pack size, price).
namespace bom {

// A material with a unit in the form the totals compare (see units.h).
struct MaterialKey
{
    QString name;
    QString unit;

    friend bool operator==(const MaterialKey &, const MaterialKey &) = default;
    friend bool operator<(const MaterialKey &a, const MaterialKey &b)
    {
        return a.name != b.name ? a.name < b.name : a.unit < b.unit;
    }
};

inline size_t qHash(const MaterialKey &key, size_t seed = 0)
{
    return ::qHash(key.name, seed) ^ (::qHash(key.unit, seed) * 31);
}

struct Material
{
    MaterialKey key;
    // The figure the page kept, never the rounded text; none for a row shown as "—".
    std::optional<double> quantity;

    friend bool operator==(const Material &, const Material &) = default;
};

// Makes a material from what a page shows: its caption and its figure.
Material materialFromCaption(const QString &caption, std::optional<double> quantity);
// Makes a material from a name and a unit, each put into the form the totals compare.
Material material(const QString &name, const QString &unit, std::optional<double> quantity);

struct Entry
{
    QDateTime added;
    QString work;   // the catalogue node and the variant
    QString inputs; // the inputs as the user typed them
    QList<Material> materials;

    friend bool operator==(const Entry &, const Entry &) = default;
};

// What the buyer sets per material.
struct Terms
{
    double reservePercent = 0;
    std::optional<double> packSize;     // empty: sold by the unit
    std::optional<qint64> priceKopecks; // per pack, or per unit when sold by the unit

    friend bool operator==(const Terms &, const Terms &) = default;
};

struct Bill
{
    QList<Entry> entries;
    QMap<MaterialKey, Terms> terms;

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

ReserveEdit readReserve(const QString &text);
PackSizeEdit readPackSize(const QString &text);
PriceEdit readPrice(const QString &text);

} // namespace bom
