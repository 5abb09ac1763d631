#include "normbasecatalogue.h"

#include "norms/normbase.h"
#include "sqlite.h"

bool NormBaseCatalogue::available()
{
    // A base imported without the catalogue files has norms but no prices; every resource code
    // begins with a digit.
    for (char digit = '0'; digit <= '9'; ++digit) {
        if (!search(QString(QLatin1Char(digit)), 1).isEmpty())
            return true;
    }
    return false;
}

std::optional<norms::CatalogueResource> NormBaseCatalogue::resource(const QString &code)
{
    norms::NormDatabase *database = m_base.database();
    if (!database)
        return std::nullopt;
    try {
        return norms::catalogueResource(*database, code);
    } catch (const norms::sql::Failure &) {
        return std::nullopt; // the norm window says what is wrong with the base
    }
}

QList<norms::CatalogueResource> NormBaseCatalogue::search(const QString &query, int limit)
{
    norms::NormDatabase *database = m_base.database();
    if (!database)
        return {};
    try {
        return norms::searchCatalogue(*database, query, limit);
    } catch (const norms::sql::Failure &) {
        return {};
    }
}
