#pragma once

#include <QList>
#include <QString>

#include <optional>

// What a bill holds for a bill of quantities (ведомость объемов работ) sent to expertise: the
// sections its entries are grouped in, the design documents its lines refer to, each line's
// references to their pages, and the quantity of work with the arithmetic that gave it.
namespace bom {

struct Section
{
    QString name;

    friend bool operator==(const Section &, const Section &) = default;
};

QString firstSectionName(); // «Раздел 1», the one section of a new bill

// A design document, by the number the lines refer to it with and its file's name.
struct Document
{
    int id = 0; // positive
    QString fileName;

    friend bool operator==(const Document &, const Document &) = default;
};

// A reference of a line to pages of a document: «114 115» and «38.2023/002-КР-ГЧ».
struct Link
{
    int documentId = 0;
    QString pages;
    QString description;

    friend bool operator==(const Link &, const Link &) = default;
};

// The amount of work of one entry as one work: its unit, the figure and the arithmetic, with a
// point, that gives it (`12.3*3*0.38`).
struct Volume
{
    QString unit;
    std::optional<double> quantity;
    QString formula;

    bool isEmpty() const { return unit.isEmpty() && !quantity && formula.isEmpty(); }
    friend bool operator==(const Volume &, const Volume &) = default;
};

// The types of a line the expertise format knows besides «работа».
enum class ResourceType
{
    Material,
    Equipment,
    Machine,
    Transport,
    Other,
};

QString resourceTypeText(ResourceType type); // «материал», «оборудование», ...
std::optional<ResourceType> resourceTypeOf(const QString &text);
QList<ResourceType> resourceTypes();

// The access levels of the format, in its order.
QStringList accessLevels();

// References as the bill's tables show them: «док. 4, с. 114 115 (38.2023/002-КР-ГЧ)», joined
// by «; ».
QString linksText(const QList<Link> &links);

// A formula's number written with a point and the fewest digits that read back the same.
QString formulaNumber(double value);

// The value of a formula of numbers with a point, + - * / and brackets; none when it is not one.
std::optional<double> evaluateFormula(const QString &formula);

} // namespace bom
