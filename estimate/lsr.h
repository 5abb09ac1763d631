#pragma once

#include "bill.h"
#include "estimateterms.h"

#include <QList>
#include <QString>

#include <optional>

// A local estimate (ЛСР) by the resource-index method as computed: every norm entry of a bill is
// a position with its resources priced at the region's current prices, its overhead (НР) and
// profit (СП), its totals; sections and the estimate sum them by kind of work. Quantities are
// rounded to 7 decimals and money to kopecks once, where a figure is written; every sum is the
// sum of the figures written, so that a reader of the file finds each one adding up.
namespace lsr {

// The object-estimate column a position is summed in: ГЭСН and ГЭСНр building, ГЭСНм and ГЭСНмр
// mounting, ГЭСНп commissioning (and the rest) other works.
enum class WorkKind
{
    Building,
    Mounting,
    Other,
};

enum class LineKind
{
    Worker,    // a norm's labour line priced at its code's hourly rate
    Machine,   // a machine-hour without its machinist
    Machinist, // the machinist of the machine just above
    Material,  // a norm's material
    Design,    // the concrete material chosen for a norm's «по проекту» line
    Unpriced,  // a norm's line that is not priced again: the labour total «1», machinists' «2»,
               // an abstract «по проекту» line
};

// Where a line's current price came from.
enum class PriceSource
{
    None,       // a gap
    List,       // the list's current price
    ListIndex,  // the list's base price × its group's index
    Typed,      // typed by the estimator, with its basis
    TypedIndex, // the federal catalogue's base price × an index the estimator typed
    Catalogue,  // not priced: an abstract line, a total
};

struct Line
{
    LineKind kind = LineKind::Material;
    QString code;
    QString name;
    QString unit;
    double perUnit = 0;              // Consumption: per unit of the norm's measure (× Count for a
                                     // machinist); for a position of its own, the quantity
    double quantity = 0;             // ConsumptionTotal, rounded to 7 decimals
    std::optional<double> price;     // PricePerUnitCur, roubles (× the price coefficient not yet)
    std::optional<double> basePrice; // with an index: the catalogue's base price
    std::optional<double> index;
    double priceCoefficient = 1;
    double quantityCoefficient = 1;
    double cost = 0; // PriceTotalCur, rounded to kopecks; 0 for a gap
    PriceSource source = PriceSource::None;
    QString basis; // a typed price's or index's basis
    // A machinist's machine (the index of its line in the position), his grade and number per
    // machine; a design material's abstract line.
    int machine = -1;
    QString grade;
    double count = 0;
    QString designOf;
    QString how; // how the cost was made: «4 646,91 = 509,53 × 9,12»

    friend bool operator==(const Line &, const Line &) = default;
};

// Overhead or profit of a position.
struct Charge
{
    QString reason; // «Пр/812-006.0-1», «Пр/774-006.0»
    QString name;   // the table's name of the item
    double percent = 0;
    double percentTotal = 0; // after coefficients
    double amount = 0;       // roubles, of the position's wage fund
    QString how;

    friend bool operator==(const Charge &, const Charge &) = default;
};

struct Position
{
    int entry = -1;   // of the bill
    int num = 0;      // running through the estimate, from 1
    bool norm = true; // false: a line of its own, a page's material
    WorkKind kind = WorkKind::Building;
    QString prefix; // «ГЭСН»
    QString code;   // «06-01-001-01»
    QString name;
    QString unit;             // the norm's measure, «100 м3»
    double quantity = 0;      // in the measure's units, before coefficients
    QString formula;          // of the quantity, with a point
    double quantityTotal = 0; // × the volume coefficient, rounded to 7 decimals
    QList<bom::Coefficient> coefficients;
    QList<Line> lines;
    double labourPerUnit = 0;    // чел.-ч per measure: workers
    double machinistPerUnit = 0; // and machinists
    // Cost/Totals/Current: ОТ, ЭМ (the machinists' pay included), ОТм, М, direct costs (ОТ + ЭМ
    // + М), the wage fund (ОТ + ОТм); labour hours.
    double workers = 0;
    double machines = 0;
    double machinists = 0;
    double materials = 0;
    double direct = 0;
    double salary = 0;
    double labourHours = 0;
    double machinistHours = 0;
    std::optional<Charge> overhead;
    std::optional<Charge> profit;
    double total = 0;   // direct + НР + СП
    double perUnit = 0; // total / quantity
    // How the direct costs and the total were made: «507 818,48 = 46 653,30 + 8 866,67 + …».
    QString directHow;
    QString totalHow;
    QList<int> vorNums; // the ВОР lines the position prices
    QString note;       // a machinists' «2» that differs from the sum of the machinists

    friend bool operator==(const Position &, const Position &) = default;
};

// The sums of one kind of work, or of all, in a section or the estimate.
struct Summary
{
    double workers = 0;
    double machines = 0; // with the machinists' pay
    double machinists = 0;
    double materials = 0;
    double overhead = 0;
    double profit = 0;
    double direct = 0;
    double labourHours = 0;
    double machinistHours = 0;
    double price = 0; // direct + НР + СП
    bool any = false; // a position of this kind was summed

    void add(const Position &position);
    void add(const Summary &other);

    friend bool operator==(const Summary &, const Summary &) = default;
};

struct Totals
{
    Summary building;
    Summary mounting;
    Summary other;
    Summary all;
    double total = 0;

    friend bool operator==(const Totals &, const Totals &) = default;
};

struct Section
{
    int code = 0; // 1, 2, … of the sections that hold positions
    QString name;
    QList<Position> positions;
    Totals totals;

    friend bool operator==(const Section &, const Section &) = default;
};

// What keeps the estimate from being written for expertise: said line by line, with the place.
struct Gap
{
    QString text;
    int section = -1;  // -1: the head
    int position = -1; // in the section
    int line = -1;     // in the position
    QString field;     // for the head: number, name, region, priceList, legal, composer, …

    friend bool operator==(const Gap &, const Gap &) = default;
};

// The head as the file writes it: the terms and what the bill and the price list give.
struct Head
{
    bom::EstimateTerms terms;
    QString construction; // стройка: the bill's construction site
    QString object;
    QString objectNumber;
    QString composer;
    QString verifier;
    QString vorFileName; // the ВОР file the positions refer to, without a path
    int baseYear = 2022;
    int baseMonth = 1;
    int baseQuarter = 1;
    int currentYear = 0; // from the price list
    int currentQuarter = 0;

    friend bool operator==(const Head &, const Head &) = default;
};

struct Estimate
{
    Head head;
    QList<Section> sections;
    Totals totals;
    QList<Gap> gaps;

    friend bool operator==(const Estimate &, const Estimate &) = default;
};

double roundMoney(double value);    // to kopecks, halves away from zero
double roundQuantity(double value); // to 7 decimals

} // namespace lsr
