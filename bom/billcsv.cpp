#include "billcsv.h"

#include "billtexts.h"
#include "vortexts.h"

namespace billcsv {

namespace {

const QString kDash = QStringLiteral("—");

QString field(const QString &text)
{
    const bool quoted = text.contains(u';') || text.contains(u'"') || text.contains(u'\n') ||
                        text.contains(u'\r') || text != text.trimmed();
    if (!quoted)
        return text;
    QString escaped = text;
    escaped.replace(u'"', QStringLiteral("\"\""));
    return u'"' + escaped + u'"';
}

void appendLine(QString &out, const QStringList &cells)
{
    for (qsizetype i = 0; i < cells.size(); ++i) {
        if (i > 0)
            out += u';';
        out += field(cells.at(i));
    }
    out += QStringLiteral("\r\n");
}

} // namespace

QByteArray encode(const bom::Bill &bill, const bom::Totals &totals)
{
    QString out;
    const QStringList captions = billtexts::headCaptions();
    const QStringList texts = billtexts::headTexts(bill.head);
    bool headShown = false;
    for (qsizetype i = 0; i < captions.size() && i < texts.size(); ++i) {
        if (texts.at(i).isEmpty())
            continue;
        appendLine(out, {captions.at(i), texts.at(i)});
        headShown = true;
    }
    // The index the catalogue's prices were multiplied by, said before them.
    if (const QString index = billtexts::priceIndexText(bill); !index.isEmpty()) {
        appendLine(out, {billtexts::priceIndexCaption(), index});
        headShown = true;
    }
    if (headShown)
        out += QStringLiteral("\r\n");

    // The code goes before the name, and only into a table that has a coded material.
    const bool totalsCoded = billtexts::hasCodes(totals);
    const auto coded = [](bool withCode, const QString &code, QStringList cells, qsizetype at) {
        if (withCode)
            cells.insert(at, code);
        return cells;
    };
    appendLine(out, coded(totalsCoded, billtexts::codeHeading(), billtexts::totalsHeadings(), 0));
    for (const bom::Total &row : totals.rows)
        appendLine(out, coded(totalsCoded, row.key.code,
                              billtexts::totalsCells(row, billtexts::MoneyForm::Plain), 0));
    appendLine(out, {billtexts::grandTotalText(totals, billtexts::MoneyForm::Plain)});
    if (const QString unrated = billtexts::unratedText(totals); !unrated.isEmpty())
        appendLine(out, {unrated});

    if (!totals.hours.isEmpty()) {
        out += QStringLiteral("\r\n");
        appendLine(out, {billtexts::hoursCaption()});
        const bool priced = billtexts::hasMachinePrices(totals);
        appendLine(out, billtexts::hoursHeadings(priced));
        for (const bom::HoursTotal &row : totals.hours)
            appendLine(out, billtexts::hoursCells(row, priced, billtexts::MoneyForm::Plain));
        for (const QString &sum : billtexts::hoursSumTexts(totals))
            appendLine(out, {sum});
        if (priced)
            appendLine(out, {billtexts::machineMoneyText(totals, billtexts::MoneyForm::Plain)});
        if (billtexts::hasMachines(totals))
            appendLine(out, {billtexts::billTotalText(totals, billtexts::MoneyForm::Plain)});
    }

    out += QStringLiteral("\r\n");
    const bool entriesCoded = billtexts::hasCodes(bill);
    // A bill of quantities' section and references end each line, in a bill that has them.
    const bool sections = vortexts::showsSections(bill);
    const bool links = vortexts::showsLinks(bill);
    const auto framed = [sections, links](QStringList cells, const QString &section,
                                          const QString &basis) {
        if (sections)
            cells.append(section);
        if (links)
            cells.append(basis);
        return cells;
    };
    appendLine(out, framed(billtexts::entriesHeadings(entriesCoded), vortexts::sectionHeading(),
                           vortexts::linksHeading()));
    for (const bom::Entry &entry : bill.entries) {
        const QString added = billtexts::addedText(entry.added);
        const QString count = QString::number(entry.count);
        for (const bom::Material &material : entry.materials)
            appendLine(
                out,
                framed(coded(entriesCoded, material.key.code,
                             {added, entry.work, count, entry.inputs, entry.note, material.key.name,
                              material.key.unit,
                              material.quantity ? bom::quantityText(*material.quantity) : kDash,
                              billtexts::kindText(material)},
                             5),
                       vortexts::sectionText(bill, entry),
                       bom::linksText(material.links.isEmpty() ? entry.links : material.links)));
    }
    return QByteArray("\xEF\xBB\xBF") + out.toUtf8();
}

} // namespace billcsv
