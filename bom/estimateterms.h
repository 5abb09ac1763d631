#pragma once

#include <QDate>
#include <QList>
#include <QString>

#include <optional>

// What the estimator sets for the local estimate (ЛСР) of a bill, kept in the bill file beside
// the bill. Everything else the estimate shows is computed from the bill, the norm base, the
// chosen price list and the overhead and profit tables, and never stored.
namespace bom {

// Where the work is done: it picks the column of the overhead table.
enum class Territory
{
    Ordinary, // «Территория»
    Mprks,    // «МПРКС», areas equal to the Far North
    Rks,      // «РКС», the Far North
};

// An act the estimate is made under, as the expertise format names it.
struct LegalAct
{
    enum class Role
    {
        Main,        // the norm base
        Methodology, // 421/пр
        Overheads,   // 812/пр
        Profits,     // 774/пр
        Indexes,     // the quarter's letter of indexes
        Other,
    };
    Role role = Role::Other;
    QString name;
    QString type; // «ГСН», «ОСН», «ТЕР», «ИСН», «НЗ», «Справочная информация»
    QDate date;   // of inclusion in the federal register; null: not set
    int registerNumber = 0; // 0: not set
    QString orders;         // the amending acts

    friend bool operator==(const LegalAct &, const LegalAct &) = default;
};

// What a figure of a position a coefficient multiplies, as the expertise format names it.
enum class CoefficientTarget
{
    Volume,          // «Объем»: the volume of work
    Labour,          // «ОТ»: the workers' pay
    Machines,        // «ЭМ»: the machines' price
    MachinistLabour, // «ОТМ»: the machinists' pay
    Materials,       // «МАТ»
    LabourHours,     // «ЗТ»: the workers' hours
    MachinistHours,  // «ЗТМ»: the machinists' hours
};

struct Coefficient
{
    QString name; // «Производство работ в стесненных условиях»
    QString reason; // «МДС 81-35.2004, прил. 1, п. 1.1»
    CoefficientTarget target = CoefficientTarget::Volume;
    double value = 1;

    friend bool operator==(const Coefficient &, const Coefficient &) = default;
};

// A price the estimator sets for a resource code, in every position that uses it: a current
// price per unit from market analysis, or an index to the catalogue's base price. It is never
// replaced when prices are refreshed.
struct TypedPrice
{
    enum class Kind
    {
        Current, // roubles per unit at the current level
        Index,   // the base price of the federal catalogue × value
    };
    QString code;
    Kind kind = Kind::Current;
    double value = 0;
    QString basis; // «Конъюнктурный анализ, счет № 12 от 03.11.2026»

    friend bool operator==(const TypedPrice &, const TypedPrice &) = default;
};

// The concrete resource chosen for a norm's «по проекту» line.
struct DesignChoice
{
    QString abstractCode; // the norm's line it prices
    QString code;         // of the price catalogue
    QString name;
    QString unit;
    double perUnit = 0; // per unit of the norm's measure

    friend bool operator==(const DesignChoice &, const DesignChoice &) = default;
};

// The estimator's choices for one norm entry of the bill. The entry is known by its place and
// its norm's code: choices whose entry now holds another norm are not applied.
struct PositionTerms
{
    int entry = 0;
    QString normCode;       // «ГЭСН 06-01-001-01»
    QString overheadReason; // of the norm's references, the one picked: «Пр/812-006.0»
    QList<Coefficient> coefficients;
    QList<DesignChoice> designChoices;

    friend bool operator==(const PositionTerms &, const PositionTerms &) = default;
};

// The price list an estimate is priced from, by what it says of itself: a base may hold several
// and another machine's base other ids.
struct PriceListRef
{
    QString subject;
    QString zone;
    int year = 0;
    int quarter = 0;

    bool isNull() const { return year == 0; }
    friend bool operator==(const PriceListRef &, const PriceListRef &) = default;
};

struct EstimateTerms
{
    QString guid;   // «{8-4-4-4-12}», made once
    QString number; // «02-01-01»
    QString name;
    QString reason;      // «Ведомость объемов работ № 02-01-01»
    int regionCode = -1; // 0…99; -1: not set
    QString regionName;
    QString zoneCode; // the price zone within the subject; empty for the subject's one zone
    QString zoneName;
    PriceListRef priceList;
    Territory territory = Territory::Ordinary;
    QList<LegalAct> legal; // in the file's order; defaults when the estimate is made
    QString salaryAct;     // the regional act that set the labour prices
    QList<TypedPrice> prices;
    QList<PositionTerms> positions;

    friend bool operator==(const EstimateTerms &, const EstimateTerms &) = default;
};

} // namespace bom
