#include "billxlsx.h"

#include "billcsv.h"
#include "billfile.h"

#include <QFile>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <clocale>

namespace billxlsx {

bool available()
{
    return true;
}

namespace {

// libxlsxwriter prints numbers with printf, which writes the decimal separator of the C
// locale; on Unix the program runs in the user's, where it is a comma no spreadsheet reads.
// The program has one thread, so the switch is seen by nothing else.
class PointLocale
{
public:
    PointLocale() : m_previous(std::setlocale(LC_NUMERIC, nullptr))
    {
        std::setlocale(LC_NUMERIC, "C");
    }
    ~PointLocale() { std::setlocale(LC_NUMERIC, m_previous.constData()); }
    PointLocale(const PointLocale &) = delete;
    PointLocale &operator=(const PointLocale &) = delete;

private:
    QByteArray m_previous;
};

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
    void number(int row, int column, double value, lxw_format *format = nullptr)
    {
        remember(worksheet_write_number(m_sheet, cellRow(row), cellColumn(column), value, format));
    }
    void formula(int row, int column, const QString &formula, const std::optional<double> &value,
                 lxw_format *format = nullptr)
    {
        const QByteArray text = formula.toUtf8();
        if (value)
            remember(worksheet_write_formula_num(m_sheet, cellRow(row), cellColumn(column),
                                                 text.constData(), format, *value));
        else
            remember(worksheet_write_formula_str(m_sheet, cellRow(row), cellColumn(column),
                                                 text.constData(), format, ""));
    }
    void width(int column, double characters)
    {
        remember(worksheet_set_column(m_sheet, cellColumn(column), cellColumn(column), characters,
                                      nullptr));
    }
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

QString cell(int row, char column)
{
    return QString(QChar::fromLatin1(column)) + QString::number(row + 1);
}

lxw_error writeTotals(lxw_workbook *book, const bom::Totals &totals)
{
    Sheet sheet(workbook_add_worksheet(book, "Итоги"));
    lxw_format *bold = workbook_add_format(book);
    format_set_bold(bold);
    lxw_format *money = workbook_add_format(book);
    format_set_num_format(money, "0.00");
    lxw_format *boldMoney = workbook_add_format(book);
    format_set_bold(boldMoney);
    format_set_num_format(boldMoney, "0.00");

    const QStringList headings = billcsv::totalsHeadings();
    for (int column = 0; column < headings.size(); ++column)
        sheet.text(0, column, headings.at(column), bold);
    const double widths[] = {40, 8, 14, 10, 14, 10, 11, 12, 14};
    for (int column = 0; column < int(std::size(widths)); ++column)
        sheet.width(column, widths[column]);

    int row = 1;
    for (const bom::Total &total : totals.rows) {
        const bom::Terms &terms = total.terms;
        sheet.text(row, 0, total.key.name);
        sheet.text(row, 1, total.key.unit);
        if (total.counted > 0)
            sheet.number(row, 2, total.quantity);
        else
            sheet.text(row, 2, QStringLiteral("—"));
        sheet.number(row, 3, terms.reservePercent);
        const QString C = cell(row, 'C'), D = cell(row, 'D'), E = cell(row, 'E'),
                      F = cell(row, 'F'), G = cell(row, 'G'), H = cell(row, 'H');
        sheet.formula(row, 4, QStringLiteral("=IF(ISNUMBER(%1),%1*(1+%2/100),\"\")").arg(C, D),
                      total.withReserve);
        if (terms.packSize)
            sheet.number(row, 5, *terms.packSize);
        sheet.formula(row, 6,
                      QStringLiteral("=IF(AND(ISNUMBER(%1),ISNUMBER(%2)),"
                                     "MAX(0,CEILING(%1/%2,1)),\"\")")
                          .arg(E, F),
                      total.packs);
        if (terms.priceKopecks)
            sheet.number(row, 7, double(*terms.priceKopecks) / 100, money);
        const std::optional<double> sum =
            total.sumKopecks ? std::optional<double>(double(*total.sumKopecks) / 100)
                             : std::nullopt;
        sheet.formula(row, 8,
                      QStringLiteral("=IF(AND(ISNUMBER(%1),ISNUMBER(%2)),IF(ISNUMBER(%3),%4*%2,"
                                     "ROUND(MAX(0,%1)*%2,2)),\"\")")
                          .arg(E, H, F, G),
                      sum, money);
        ++row;
    }
    sheet.text(row, 0, QStringLiteral("Итого"), bold);
    const std::optional<double> grand =
        totals.overflow ? std::nullopt : std::optional<double>(double(totals.grandKopecks) / 100);
    sheet.formula(row, 8, QStringLiteral("=SUM(I2:I%1)").arg(std::max(row, 2)), grand, boldMoney);
    return sheet.error();
}

lxw_error writeEntries(lxw_workbook *book, const bom::Bill &bill)
{
    Sheet sheet(workbook_add_worksheet(book, "Записи"));
    lxw_format *bold = workbook_add_format(book);
    format_set_bold(bold);
    const QStringList headings = billcsv::entriesHeadings();
    for (int column = 0; column < headings.size(); ++column)
        sheet.text(0, column, headings.at(column), bold);
    const double widths[] = {16, 40, 60, 40, 8, 14};
    for (int column = 0; column < int(std::size(widths)); ++column)
        sheet.width(column, widths[column]);
    int row = 1;
    for (const bom::Entry &entry : bill.entries) {
        const QString added = billcsv::addedText(entry.added);
        for (const bom::Material &material : entry.materials) {
            sheet.text(row, 0, added);
            sheet.text(row, 1, entry.work);
            sheet.text(row, 2, entry.inputs);
            sheet.text(row, 3, material.key.name);
            sheet.text(row, 4, material.key.unit);
            if (material.quantity)
                sheet.number(row, 5, *material.quantity);
            else
                sheet.text(row, 5, QStringLiteral("—"));
            ++row;
        }
    }
    return sheet.error();
}

} // namespace

std::optional<QString> write(const bom::Bill &bill, const bom::Totals &totals, const QString &path)
{
    const QString refused = QStringLiteral("Ведомость не выгружена в XLSX: ");
    // The workbook is made in a scratch folder and then put in place like the bill's own file,
    // so that a failure halfway never costs the previous one.
    const QTemporaryDir scratch;
    if (!scratch.isValid())
        return refused + QStringLiteral("нет места для временного файла.");
    const QString made = scratch.filePath(QStringLiteral("bill.xlsx"));
    const QByteArray madeName = QFile::encodeName(made);

    lxw_error error = LXW_NO_ERROR;
    {
        const PointLocale point;
        lxw_workbook *book = workbook_new(madeName.constData());
        if (!book)
            return refused + QStringLiteral("временный файл нельзя создать.");
        // The library's properties take writable strings it never writes to.
        char title[] = "Ведомость материалов";
        char author[] = "Мерилон 3";
        lxw_doc_properties properties = {};
        properties.title = title;
        properties.author = author;
        workbook_set_properties(book, &properties);
        error = writeTotals(book, totals);
        const lxw_error entriesError = writeEntries(book, bill);
        if (error == LXW_NO_ERROR)
            error = entriesError;
        const lxw_error closed = workbook_close(book);
        if (error == LXW_NO_ERROR)
            error = closed;
    }
    if (error != LXW_NO_ERROR)
        return refused +
               QStringLiteral("ошибка записи (%1).").arg(QString::fromUtf8(lxw_strerror(error)));
    QFile file(made);
    if (!file.open(QIODevice::ReadOnly))
        return refused + QStringLiteral("временный файл нельзя прочитать.");
    return billfile::writeBytes(file.readAll(), path);
}

} // namespace billxlsx
