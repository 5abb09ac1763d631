#include "billxlsx.h"

#include "billfile.h"
#include "billtexts.h"
#include "vortexts.h"
#include "xlsxbook.h"

#include <QFile>

#include <xlsxwriter.h>

#include <cmath>
#include <tuple>

namespace billxlsx {

bool available()
{
    return true;
}

namespace {

// A cell holds at most this many characters.
constexpr qsizetype kLongestText = 32767;

lxw_row_t cellRow(int row)
{
    return static_cast<lxw_row_t>(row);
}

lxw_col_t cellColumn(int column)
{
    return static_cast<lxw_col_t>(column);
}

class Sheet
{
public:
    explicit Sheet(lxw_worksheet *sheet) : m_sheet(sheet) {}

    void text(int row, int column, const QString &value, lxw_format *format = nullptr)
    {
        remember(worksheet_write_string(m_sheet, cellRow(row), cellColumn(column),
                                        value.left(kLongestText).toUtf8().constData(), format));
    }
    // A number beyond a double would be written «INF», which no spreadsheet reads: the cell
    // says in words what the window says.
    void number(int row, int column, double value, lxw_format *format = nullptr)
    {
        if (!std::isfinite(value))
            text(row, column, bom::quantityText(value));
        else
            remember(
                worksheet_write_number(m_sheet, cellRow(row), cellColumn(column), value, format));
    }
    void formula(int row, int column, const QString &formula, const std::optional<double> &value,
                 lxw_format *format = nullptr)
    {
        const QByteArray text = formula.toUtf8();
        if (value && std::isfinite(*value))
            remember(worksheet_write_formula_num(m_sheet, cellRow(row), cellColumn(column),
                                                 text.constData(), format, *value));
        else
            remember(worksheet_write_formula_str(m_sheet, cellRow(row), cellColumn(column),
                                                 text.constData(), format, ""));
    }
    // A spreadsheet's dates run from 1900 to 9999; one outside stays the text shown for it.
    void date(int row, int column, const QDate &day, const QTime &time, lxw_format *format,
              const QString &shown)
    {
        if (day.year() < 1900 || day.year() > 9999) {
            text(row, column, shown);
            return;
        }
        lxw_datetime value = {day.year(),  day.month(),   day.day(),
                              time.hour(), time.minute(), time.second() + time.msec() / 1000.0};
        remember(
            worksheet_write_datetime(m_sheet, cellRow(row), cellColumn(column), &value, format));
    }
    void width(int column, double characters)
    {
        remember(worksheet_set_column(m_sheet, cellColumn(column), cellColumn(column), characters,
                                      nullptr));
    }
    // The heading row stays in view while the rows below it scroll.
    void freezeHeading() { worksheet_freeze_panes(m_sheet, 1, 0); }
    lxw_error error() const { return m_error; }

private:
    void remember(lxw_error error)
    {
        if (m_error == LXW_NO_ERROR)
            m_error = error;
    }

    lxw_worksheet *m_sheet;
    lxw_error m_error = LXW_NO_ERROR;
};

// A1-style name of a cell; the sheets have fewer than 26 columns.
QString cell(int row, int column)
{
    return QString(QChar(u'A' + column)) + QString::number(row + 1);
}

std::optional<double> roubles(const std::optional<qint64> &kopecks)
{
    return kopecks ? std::optional<double>(double(*kopecks) / 100) : std::nullopt;
}

struct Formats
{
    explicit Formats(lxw_workbook *book)
    {
        bold = workbook_add_format(book);
        format_set_bold(bold);
        heading = workbook_add_format(book);
        format_set_bold(heading);
        format_set_text_wrap(heading);
        format_set_align(heading, LXW_ALIGN_VERTICAL_TOP);
        whole = workbook_add_format(book);
        format_set_num_format(whole, "0");
        money = workbook_add_format(book);
        format_set_num_format(money, "#,##0.00");
        boldMoney = workbook_add_format(book);
        format_set_bold(boldMoney);
        format_set_num_format(boldMoney, "#,##0.00");
        date = workbook_add_format(book);
        format_set_num_format(date, "dd.mm.yyyy");
        // Beside the head's texts, not at the far side of their wide column.
        format_set_align(date, LXW_ALIGN_LEFT);
        left = workbook_add_format(book);
        format_set_align(left, LXW_ALIGN_LEFT);
        moment = workbook_add_format(book);
        format_set_num_format(moment, "dd.mm.yyyy hh:mm");
    }

    lxw_format *bold;
    lxw_format *heading;
    lxw_format *whole; // pieces and packs
    lxw_format *money;
    lxw_format *boldMoney;
    lxw_format *date;
    lxw_format *left; // a number beside the head's texts
    lxw_format *moment;
};

// The totals' sheet: the head, then "№ п/п", the code when some material has one, and the
// window's columns after them.
class TotalsColumns
{
public:
    explicit TotalsColumns(bool coded) : m_first(coded ? 2 : 1) {}
    int operator()(billtexts::TotalsColumn shared) const { return m_first + int(shared); }

private:
    int m_first;
};

// Below the materials: the hours of labour and of machines, with their two sums and, for
// machines, the money of the whole bill: grand is the cell of the materials' total.
int writeHours(Sheet &sheet, const Formats &formats, const bom::Totals &totals, int row,
               const QString &grand)
{
    if (totals.hours.isEmpty())
        return row;
    ++row;
    sheet.text(row++, 1, billtexts::hoursCaption(), formats.bold);
    const bool priced = billtexts::hasMachinePrices(totals);
    const QStringList headings = billtexts::hoursHeadings(priced);
    sheet.text(row, 0, QStringLiteral("№ п/п"), formats.heading);
    for (int c = 0; c < headings.size(); ++c)
        sheet.text(row, 1 + c, headings.at(c), formats.heading);
    ++row;
    // A machine's price and sum after its hours; the sum a live formula, as the materials' are.
    const int price = 1 + billtexts::HoursColumnCount;
    const int firstHours = row;
    for (qsizetype i = 0; i < totals.hours.size(); ++i) {
        const bom::HoursTotal &hours = totals.hours.at(i);
        sheet.number(row, 0, double(i + 1));
        sheet.text(row, 1 + billtexts::HoursCode, hours.key.code);
        sheet.text(row, 1 + billtexts::HoursName, hours.key.name);
        sheet.text(row, 1 + billtexts::HoursUnit, hours.key.unit);
        sheet.number(row, 1 + billtexts::HoursQuantity, hours.quantity);
        if (priced && hours.terms.priceKopecks) {
            sheet.number(row, price, double(*hours.terms.priceKopecks) / 100, formats.money);
            sheet.formula(row, price + 1,
                          QStringLiteral("=ROUND(%1*%2,2)")
                              .arg(cell(row, price), cell(row, 1 + billtexts::HoursQuantity)),
                          roubles(hours.sumKopecks), formats.money);
            sheet.text(row, price + 2, billtexts::priceOriginText(hours.terms));
        }
        ++row;
    }
    // The sums as numbers beside their captions, so that a spreadsheet can reckon with them.
    QList<std::tuple<QString, double, int>> sums = {
        {QStringLiteral("Затраты труда, чел.-ч"), totals.labourHours, totals.labourTooLarge}};
    if (totals.hasMachinists)
        sums.append({QStringLiteral("Затраты труда машинистов, чел.-ч"), totals.machinistHours,
                     totals.machinistTooLarge});
    sums.append({QStringLiteral("Машины, маш.-ч"), totals.machineHours, totals.machineTooLarge});
    for (const auto &[caption, value, tooLarge] : sums) {
        sheet.text(row, 1 + billtexts::HoursName,
                   tooLarge > 0 ? caption + QStringLiteral(" (не учтено, количество слишком "
                                                           "велико: %1)")
                                                .arg(tooLarge)
                                : caption,
                   formats.bold);
        sheet.number(row, 1 + billtexts::HoursQuantity, value);
        ++row;
    }
    if (priced) {
        sheet.text(row, 1 + billtexts::HoursName, QStringLiteral("Машины, руб."), formats.bold);
        sheet.formula(row, price + 1,
                      QStringLiteral("=SUM(%1:%2)")
                          .arg(cell(firstHours, price + 1),
                               cell(firstHours + int(totals.hours.size()) - 1, price + 1)),
                      roubles(totals.machineKopecks), formats.boldMoney);
        ++row;
    }
    if (billtexts::hasMachines(totals)) {
        sheet.text(row, 1 + billtexts::HoursName, QStringLiteral("Всего по ведомости, руб."),
                   formats.bold);
        sheet.formula(row, price + 1,
                      priced ? QStringLiteral("=%1+%2").arg(grand, cell(row - 1, price + 1))
                             : QStringLiteral("=%1").arg(grand),
                      roubles(bom::billKopecks(totals)), formats.boldMoney);
        ++row;
    }
    return row;
}

lxw_error writeTotals(lxw_workbook *book, const Formats &formats, const bom::Bill &bill,
                      const bom::Totals &totals)
{
    Sheet sheet(workbook_add_worksheet(book, "Итоги"));
    using namespace billtexts;
    const bool coded = hasCodes(totals);
    const TotalsColumns column(coded);
    QList<double> widths = {10, 40, 8, 14, 10, 14, 14, 10, 11, 14, 14, 16};
    if (coded)
        widths.insert(1, 16);
    for (int c = 0; c < int(widths.size()); ++c)
        sheet.width(c, widths.at(c));

    // The head's filled fields; the date as a date, so that a spreadsheet can reckon with it.
    int row = 0;
    const QStringList captions = headCaptions();
    const QStringList texts = headTexts(bill.head);
    for (int field = 0; field < captions.size(); ++field) {
        const bool isDate = field + 1 == captions.size();
        if (isDate ? !bill.head.date.isValid() : texts.value(field).trimmed().isEmpty())
            continue;
        sheet.text(row, 0, captions.at(field), formats.bold);
        if (isDate)
            sheet.date(row, 1, bill.head.date, QTime(0, 0), formats.date, texts.value(field));
        else
            sheet.text(row, 1, texts.value(field));
        ++row;
    }
    // The index the catalogue's prices were multiplied by, as a number to reckon with.
    if (bill.priceIndex) {
        sheet.text(row, 0, priceIndexCaption(), formats.bold);
        sheet.number(row, 1, *bill.priceIndex, formats.left);
        ++row;
    }
    if (row > 0)
        ++row;

    const QStringList headings = totalsHeadings();
    sheet.text(row, 0, QStringLiteral("№ п/п"), formats.heading);
    if (coded)
        sheet.text(row, 1, codeHeading(), formats.heading);
    for (int c = 0; c < headings.size(); ++c)
        sheet.text(row, column(TotalsColumn(c)), headings.at(c), formats.heading);
    // A price from the catalogue says so, after the sum.
    const bool origins = hasPriceOrigins(totals);
    if (origins) {
        sheet.text(row, column(Sum) + 1, priceOriginHeading(), formats.heading);
        sheet.width(column(Sum) + 1, 24);
    }
    ++row;
    const int first = row;
    for (const bom::Total &total : totals.rows) {
        const bom::Terms &terms = total.terms;
        const auto at = [row, column](TotalsColumn shared) {
            return cell(row, column(shared));
        };
        sheet.number(row, 0, row - first + 1);
        if (coded)
            sheet.text(row, 1, total.key.code);
        sheet.text(row, column(Material), total.key.name);
        sheet.text(row, column(Unit), total.key.unit);
        sheet.number(row, column(Quantity), total.quantity);
        sheet.number(row, column(Reserve), terms.reservePercent);
        // A quantity too large has nothing to reckon with: no formulas, no sum.
        if (!bom::isShownQuantity(total.quantity)) {
            ++row;
            continue;
        }
        sheet.formula(row, column(WithReserve),
                      QStringLiteral("=%1*(1+%2/100)").arg(at(Quantity), at(Reserve)),
                      total.withReserve);
        // Pieces are bought whole; anything else rounded up at the four digits the window shows.
        const bool pieces = bom::isPieceUnit(total.key.unit);
        sheet.formula(
            row, column(ToBuy),
            pieces
                ? QStringLiteral("=ROUNDUP(%1,0)").arg(at(WithReserve))
                : QStringLiteral("=IF(%1>0,ROUNDUP(%1,3-INT(LOG10(%1))),0)").arg(at(WithReserve)),
            total.toBuy, pieces ? formats.whole : nullptr);
        if (terms.packSize) {
            sheet.number(row, column(PackSize), *terms.packSize);
            sheet.formula(row, column(Packs),
                          QStringLiteral("=CEILING(%1/%2,1)").arg(at(ToBuy), at(PackSize)),
                          total.packs, formats.whole);
        }
        // The price stands in the column of its basis, and the sum takes what that price is of:
        // the units bought, or the packs. Typing a price in the sheet makes the sum appear.
        const bool perPack = terms.priceBasis == bom::PriceBasis::PerPack;
        if (terms.priceKopecks)
            sheet.number(row, column(perPack ? PackPrice : UnitPrice),
                         double(*terms.priceKopecks) / 100, formats.money);
        sheet.formula(row, column(Sum),
                      perPack ? QStringLiteral("=IF(AND(ISNUMBER(%1),ISNUMBER(%2)),%1*%2,\"\")")
                                    .arg(at(Packs), at(PackPrice))
                              : QStringLiteral("=IF(ISNUMBER(%1),ROUND(%2*%1,2),\"\")")
                                    .arg(at(UnitPrice), at(ToBuy)),
                      roubles(total.sumKopecks), formats.money);
        if (origins)
            sheet.text(row, column(Sum) + 1, priceOriginText(terms));
        ++row;
    }
    sheet.text(row, column(Material), QStringLiteral("Итого"), formats.bold);
    const QString grandCell = cell(row, column(Sum));
    const std::optional<double> grand =
        totals.overflow ? std::nullopt : roubles(totals.grandKopecks);
    if (totals.rows.isEmpty())
        sheet.number(row, column(Sum), 0, formats.boldMoney);
    else
        sheet.formula(
            row, column(Sum),
            QStringLiteral("=SUM(%1:%2)").arg(cell(first, column(Sum)), cell(row - 1, column(Sum))),
            grand, formats.boldMoney);
    ++row;
    if (totals.unpriced > 0)
        sheet.text(row++, column(Material), QStringLiteral("без цены: %1").arg(totals.unpriced));
    if (const QString tooLarge = tooLargeText(totals); !tooLarge.isEmpty())
        sheet.text(row++, column(Material), tooLarge);
    if (const QString unrated = unratedText(totals); !unrated.isEmpty()) {
        sheet.text(row, column(Material), unrated);
        sheet.text(row, column(Unit), totals.unrated.join(QStringLiteral("; ")));
        ++row;
    }
    writeHours(sheet, formats, totals, row, grandCell);
    return sheet.error();
}

lxw_error writeEntries(lxw_workbook *book, const Formats &formats, const bom::Bill &bill)
{
    Sheet sheet(workbook_add_worksheet(book, "Записи"));
    // The code stands before the material's name when some material has one.
    const bool coded = billtexts::hasCodes(bill);
    const int name = coded ? 6 : 5;
    QStringList headings = billtexts::entriesHeadings(coded);
    // A bill of quantities' section and references close the line, in a bill that has them.
    const bool sections = vortexts::showsSections(bill);
    const bool links = vortexts::showsLinks(bill);
    const int section = name + 4;
    const int basis = section + (sections ? 1 : 0);
    if (sections)
        headings.append(vortexts::sectionHeading());
    if (links)
        headings.append(vortexts::linksHeading());
    for (int c = 0; c < headings.size(); ++c)
        sheet.text(0, c, headings.at(c), formats.heading);
    QList<double> widths = {16, 40, 8, 60, 30, 40, 8, 14, 20};
    if (sections)
        widths.append(20);
    if (links)
        widths.append(40);
    if (coded)
        widths.insert(5, 16);
    for (int c = 0; c < int(widths.size()); ++c)
        sheet.width(c, widths.at(c));
    sheet.freezeHeading();
    int row = 1;
    for (const bom::Entry &entry : bill.entries) {
        // The moment as the window shows it: the user's local time.
        const QDateTime added = entry.added.toLocalTime();
        for (const bom::Material &material : entry.materials) {
            if (added.isValid())
                sheet.date(row, 0, added.date(), added.time(), formats.moment,
                           billtexts::addedText(entry.added));
            sheet.text(row, 1, entry.work);
            sheet.number(row, 2, entry.count);
            sheet.text(row, 3, entry.inputs);
            sheet.text(row, 4, entry.note);
            if (coded)
                sheet.text(row, 5, material.key.code);
            sheet.text(row, name, material.key.name);
            sheet.text(row, name + 1, material.key.unit);
            if (material.quantity)
                sheet.number(row, name + 2, *material.quantity);
            else
                sheet.text(row, name + 2, QStringLiteral("—"));
            sheet.text(row, name + 3, billtexts::kindText(material));
            if (sections)
                sheet.text(row, section, vortexts::sectionText(bill, entry));
            if (links)
                sheet.text(row, basis,
                           bom::linksText(material.links.isEmpty() ? entry.links : material.links));
            ++row;
        }
    }
    return sheet.error();
}

} // namespace

std::optional<QString> write(const bom::Bill &bill, const bom::Totals &totals, const QString &path)
{
    return xlsxbook::write(path, QStringLiteral("Ведомость не выгружена в XLSX: "),
                           "Ведомость материалов", [&](lxw_workbook *book) {
                               const Formats formats(book);
                               const lxw_error error = writeTotals(book, formats, bill, totals);
                               const lxw_error entriesError = writeEntries(book, formats, bill);
                               return error == LXW_NO_ERROR ? entriesError : error;
                           });
}

} // namespace billxlsx
