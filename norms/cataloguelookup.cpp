#include "cataloguelookup.h"

#include "normwords.h"
#include "regional.h"
#include "totals.h"

#include <algorithm>

namespace norms {

namespace {

constexpr char kColumns[] =
    "SELECT k.code, k.name, k.unit, k.machine, k.cost, k.release_cost, k.machinist_wage, "
    "k.machinist_hours, c.price_level, k.driver_code, k.machinist_grade FROM catalogue k JOIN "
    "collections c ON c.id = "
    "k.collection_id ";

std::optional<double> optionalReal(const sql::Statement &row, int column)
{
    return row.isNull(column) ? std::nullopt : std::optional<double>(row.real(column));
}

CatalogueResource resourceOf(const sql::Statement &row)
{
    CatalogueResource resource;
    resource.code = row.text(0);
    resource.name = row.text(1);
    resource.unit = row.text(2);
    resource.machine = row.integer(3) != 0;
    resource.cost = optionalReal(row, 4);
    resource.releaseCost = optionalReal(row, 5);
    resource.machinistWage = optionalReal(row, 6);
    resource.machinistHours = optionalReal(row, 7);
    resource.priceLevel = row.text(8);
    resource.driverCode = row.text(9);
    resource.machinistGrade = row.text(10);
    return resource;
}

// A code's characters: digits, points and dashes, beginning with a digit.
bool isCodeBeginning(const QString &text)
{
    if (text.isEmpty() || !text.front().isDigit())
        return false;
    return std::all_of(text.cbegin(), text.cend(),
                       [](QChar c) { return c.isDigit() || c == u'.' || c == u'-'; });
}

QList<CatalogueResource> all(sql::Statement &statement)
{
    QList<CatalogueResource> found;
    while (statement.next())
        found.append(resourceOf(statement));
    return found;
}

} // namespace

std::optional<CatalogueResource> catalogueResource(NormDatabase &database, const QString &code)
{
    // A code both catalogues listed is taken from the one imported last.
    const QByteArray text =
        QByteArray(kColumns) + "WHERE k.code = ?1 ORDER BY k.rowid DESC LIMIT 1";
    sql::Statement statement(database.connection().handle(), text.constData());
    statement.bind(1, code.trimmed());
    if (!statement.next())
        return std::nullopt;
    return resourceOf(statement);
}

QString machinistText(const CatalogueResource &machine)
{
    if (machine.driverCode.isEmpty())
        return {};
    QStringList parts{QStringLiteral("Машинист ") + machine.driverCode};
    if (!machine.machinistGrade.isEmpty())
        parts.append(QStringLiteral("разряд ") +
                     QString(machine.machinistGrade).replace(u'.', calc::decimalSeparator()));
    if (machine.machinistHours)
        parts.append(bom::quantityText(*machine.machinistHours) +
                     QStringLiteral(" чел.-ч на маш.-ч"));
    return parts.join(QStringLiteral(", "));
}

QHash<QString, QString> machinistsOf(NormDatabase &database, const Norm &norm)
{
    QHash<QString, QString> machinists;
    for (const NormResource &resource : norm.resources) {
        if (resource.group != ResourceGroup::Machine || machinists.contains(resource.code))
            continue;
        if (const std::optional<CatalogueResource> machine =
                catalogueResource(database, resource.code))
            if (const QString text = machinistText(*machine); !text.isEmpty())
                machinists.insert(resource.code, text);
    }
    return machinists;
}

QList<CatalogueResource> searchCatalogue(NormDatabase &database, const QString &query, int limit)
{
    const QString text = query.simplified();
    if (text.isEmpty() || limit <= 0)
        return {};
    sqlite3 *db = database.connection().handle();
    // A code's beginning is looked up in the code index; a number no code begins with is a word
    // of the name («15», «М150»).
    if (isCodeBeginning(text)) {
        QString past = text;
        past.back() = QChar(past.back().unicode() + 1);
        const QByteArray sql =
            QByteArray(kColumns) + "WHERE k.code >= ?1 AND k.code < ?2 ORDER BY k.code LIMIT ?3";
        sql::Statement byCode(db, sql.constData());
        byCode.bind(1, text).bind(2, past).bind(3, limit);
        QList<CatalogueResource> found = all(byCode);
        if (!found.isEmpty())
            return found;
    }
    const QString words = wordBeginningsQuery(text);
    if (words.isEmpty())
        return {};
    const QByteArray sql = QByteArray(kColumns) +
                           "WHERE k.rowid IN (SELECT rowid FROM catalogue_words WHERE "
                           "catalogue_words MATCH ?1) ORDER BY k.code LIMIT ?2";
    sql::Statement byWords(db, sql.constData());
    byWords.bind(1, words).bind(2, limit);
    return all(byWords);
}

} // namespace norms
