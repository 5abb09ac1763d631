#pragma once

#include "norm.h"
#include "normdb.h"

#include <QHash>
#include <QList>
#include <QString>

#include <optional>

// The price catalogues' resources (materials and machines) with their prices at the base level:
// what the bill needs to price a coded row and to link a page's material to a resource.
namespace norms {

struct CatalogueResource
{
    QString code; // «01.7.15.06-0111», «91.05.05-015»
    QString name;
    QString unit; // the catalogue's unit: «т», «м3»; «маш.-ч» for a machine
    bool machine = false;
    // A material's estimate price (Cost); a machine-hour's price (PriceCostWithoutSalary +
    // SalaryMach). Roubles per unit at priceLevel.
    std::optional<double> cost;
    std::optional<double> releaseCost;    // a material's release price (OptCost)
    std::optional<double> machinistWage;  // a machine's SalaryMach, part of cost
    std::optional<double> machinistHours; // a machine's LabourMach per machine-hour
    QString driverCode;                   // the machinist's labour code, «4-100-060»
    QString machinistGrade;               // his grade as the catalogue writes it, «6.0»
    QString priceLevel;                   // «01.01.2022»
};

// The resource of that code in the price catalogues; none when no catalogue lists it.
std::optional<CatalogueResource> catalogueResource(NormDatabase &database, const QString &code);

// A machine's machinist as the catalogue gives him: «Машинист 4-100-060, разряд 6,0, 1 чел.-ч на
// маш.-ч»; empty for a machine without one.
QString machinistText(const CatalogueResource &machine);
// The machinists of a norm's machines, by the machine's code.
QHash<QString, QString> machinistsOf(NormDatabase &database, const Norm &norm);

// Resources whose name has words beginning with the query's words («смес бетон B15»), or whose
// code begins with the query («01.7.15»), by code, at most limit of them.
QList<CatalogueResource> searchCatalogue(NormDatabase &database, const QString &query,
                                         int limit = 200);

} // namespace norms
