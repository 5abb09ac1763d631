#include "lsrxlsx.h"

#include "billfile.h"
#include "lsrform.h"

#include <QFile>
#include <QHash>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <clocale>
#include <cmath>

namespace lsrxlsx {

bool available()
{
    return true;
}

namespace {

using lsrform::Row;

// libxlsxwriter prints numbers with printf, which writes the decimal separator of the C locale;
// on Unix the program runs in the user's, where it is a comma no spreadsheet reads. Nothing else
// of the program converts numbers through the C library meanwhile.
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

// Beside the twelve columns of the form: what a row sums, and its position's kind of work,
// hidden; the formulas of the totals pick their rows by them.
constexpr int kKey = lsrform::ColumnCount;
constexpr int kKind = kKey + 1;

QString cell(int row, int column)
{
    return QString(QChar(u'A' + column)) + QString::number(row + 1);
}

QString range(int first, int last, int column)
{
    return QStringLiteral("$%1$%2:$%1$%3").arg(QChar(u'A' + column)).arg(first + 1).arg(last + 1);
}

class Sheet
{
public:
    Sheet(lxw_workbook *book, lxw_worksheet *sheet) : m_sheet(sheet)
    {
        money = workbook_add_format(book);
        format_set_num_format(money, "#,##0.00");
        boldMoney = workbook_add_format(book);
        format_set_num_format(boldMoney, "#,##0.00");
        format_set_bold(boldMoney);
        bold = workbook_add_format(book);
        format_set_bold(bold);
        wrap = workbook_add_format(book);
        format_set_text_wrap(wrap);
        format_set_align(wrap, LXW_ALIGN_VERTICAL_TOP);
        boldWrap = workbook_add_format(book);
        format_set_text_wrap(boldWrap);
        format_set_bold(boldWrap);
        format_set_align(boldWrap, LXW_ALIGN_VERTICAL_TOP);
        heading = workbook_add_format(book);
        format_set_bold(heading);
        format_set_text_wrap(heading);
        format_set_align(heading, LXW_ALIGN_CENTER);
        format_set_align(heading, LXW_ALIGN_VERTICAL_CENTER);
        format_set_border(heading, LXW_BORDER_THIN);
        title = workbook_add_format(book);
        format_set_bold(title);
        format_set_font_size(title, 14);
        format_set_align(title, LXW_ALIGN_CENTER);
    }

    void text(int row, int column, const QString &value, lxw_format *format = nullptr)
    {
        remember(worksheet_write_string(m_sheet, lxw_row_t(row), lxw_col_t(column),
                                        value.left(32767).toUtf8().constData(), format));
    }
    void number(int row, int column, const std::optional<double> &value,
                lxw_format *format = nullptr)
    {
        if (value && std::isfinite(*value))
            remember(
                worksheet_write_number(m_sheet, lxw_row_t(row), lxw_col_t(column), *value, format));
    }
    void formula(int row, int column, const QString &formula, const std::optional<double> &value,
                 lxw_format *format = nullptr)
    {
        const QByteArray text = QStringLiteral("=%1").arg(formula).toUtf8();
        remember(worksheet_write_formula_num(m_sheet, lxw_row_t(row), lxw_col_t(column),
                                             text.constData(), format,
                                             value && std::isfinite(*value) ? *value : 0));
    }
    void merge(int row, int first, int last, const QString &value, lxw_format *format,
               int lastRow = -1)
    {
        remember(worksheet_merge_range(m_sheet, lxw_row_t(row), lxw_col_t(first),
                                       lxw_row_t(lastRow < 0 ? row : lastRow), lxw_col_t(last),
                                       value.toUtf8().constData(), format));
    }
    void width(int column, double characters, bool hidden = false)
    {
        lxw_row_col_options options = {};
        options.hidden = hidden ? 1 : 0;
        remember(worksheet_set_column_opt(m_sheet, lxw_col_t(column), lxw_col_t(column), characters,
                                          nullptr, &options));
    }
    lxw_worksheet *sheet() const { return m_sheet; }
    lxw_error error() const { return m_error; }

    lxw_format *money, *boldMoney, *bold, *wrap, *boldWrap, *heading, *title;

private:
    void remember(lxw_error error)
    {
        if (m_error == LXW_NO_ERROR)
            m_error = error;
    }

    lxw_worksheet *m_sheet;
    lxw_error m_error = LXW_NO_ERROR;
};

// The rows of the form with their formulas: where the current position, its lines and its sums
// stand decides what each formula takes.
class Table
{
public:
    explicit Table(Sheet &sheet) : m_sheet(sheet) {}

    void write(const QList<Row> &rows, int first)
    {
        m_first = first;
        int row = first;
        for (const Row &each : rows)
            write(each, row++);
    }

private:
    void write(const Row &row, int at)
    {
        Sheet &s = m_sheet;
        const bool total = row.kind == Row::Kind::PositionTotal ||
                           row.kind == Row::Kind::SectionTotal ||
                           row.kind == Row::Kind::EstimateTotal;
        s.text(at, lsrform::Num, row.num, s.wrap);
        s.text(at, lsrform::Basis, row.basis, s.wrap);
        s.text(at, lsrform::Name, row.name,
               total || row.kind == Row::Kind::Section || row.kind == Row::Kind::Position ||
                       row.kind == Row::Kind::Caption
                   ? s.boldWrap
                   : s.wrap);
        s.text(at, lsrform::Unit, row.unit, s.wrap);
        if (row.kind != Row::Kind::SectionTotal)
            s.text(at, kKey, row.key);
        s.text(at, kKind, row.workKind);
        lxw_format *money = total ? s.boldMoney : s.money;
        switch (row.kind) {
        case Row::Kind::Section:
            m_section = at + 1;
            break;
        case Row::Kind::Position:
            m_position = at;
            m_lines = -1;
            m_sums.clear();
            m_single = row.cost.has_value();
            if (m_single) {
                // A resource priced by itself: its row is its one line.
                s.number(at, lsrform::Quantity, row.quantity);
                priced(row, at, money);
            } else {
                s.number(at, lsrform::PerUnit, row.perUnit);
                s.number(at, lsrform::QuantityCoefficient, row.quantityCoefficient);
                s.formula(
                    at, lsrform::Quantity,
                    QStringLiteral("ROUND(%1*%2,7)")
                        .arg(cell(at, lsrform::PerUnit), cell(at, lsrform::QuantityCoefficient)),
                    row.quantity);
            }
            break;
        case Row::Kind::Line:
            s.number(at, lsrform::PerUnit, row.perUnit);
            s.number(at, lsrform::QuantityCoefficient, row.quantityCoefficient);
            s.formula(at, lsrform::Quantity,
                      QStringLiteral("ROUND(%1*%2*%3,7)")
                          .arg(cell(at, lsrform::PerUnit), cell(at, lsrform::QuantityCoefficient),
                               cell(m_position, lsrform::Quantity)),
                      row.quantity);
            if (row.cost)
                priced(row, at, money);
            break;
        case Row::Kind::Sum:
            sum(row, at);
            break;
        case Row::Kind::Charge: {
            s.number(at, lsrform::Quantity, row.quantity);
            const int salary = m_sums.value(QStringLiteral("п:ФОТ"), -1);
            if (salary < 0)
                s.number(at, lsrform::Cost, row.cost, money);
            else
                s.formula(at, lsrform::Cost,
                          QStringLiteral("ROUND(%1*%2/100,2)")
                              .arg(cell(salary, lsrform::Cost), cell(at, lsrform::Quantity)),
                          row.cost, money);
            m_sums.insert(row.key, at);
            break;
        }
        case Row::Kind::PositionTotal: {
            QStringList parts;
            for (const char *key : {"п:ОТ", "п:ЭМ", "п:М", "п:НР", "п:СП"}) {
                const int part = m_sums.value(QString::fromUtf8(key), -1);
                if (part >= 0)
                    parts.append(cell(part, lsrform::Cost));
            }
            s.formula(at, lsrform::Cost, QStringLiteral("SUM(%1)").arg(parts.join(u',')), row.cost,
                      money);
            break;
        }
        case Row::Kind::SectionTotal:
            s.formula(at, lsrform::Cost, sumIf(m_section, at - 1, QStringLiteral("Всего")),
                      row.cost, money);
            break;
        case Row::Kind::Caption:
            m_last = at - 1;
            break;
        case Row::Kind::EstimateSum:
            if (row.key.startsWith(QStringLiteral("п:")))
                s.formula(at, lsrform::Cost, sumIf(m_first, m_last, row.key), row.cost, money);
            else
                s.formula(at, lsrform::Cost,
                          QStringLiteral("SUMIFS(%1,%2,\"Всего\",%3,\"%4\")")
                              .arg(range(m_first, m_last, lsrform::Cost),
                                   range(m_first, m_last, kKey), range(m_first, m_last, kKind),
                                   row.key),
                          row.cost, money);
            break;
        case Row::Kind::EstimateTotal:
            s.formula(at, lsrform::Cost, sumIf(m_first, m_last, QStringLiteral("Всего")), row.cost,
                      money);
            break;
        case Row::Kind::Note:
            break;
        }
    }

    // Price per unit (base × index where there is one) and the cost of a priced line.
    void priced(const Row &row, int at, lxw_format *money)
    {
        Sheet &s = m_sheet;
        if (row.index && row.basePrice) {
            s.number(at, lsrform::BasePrice, row.basePrice, s.money);
            s.number(at, lsrform::Index, row.index);
            s.formula(at, lsrform::Price,
                      QStringLiteral("ROUND(%1*%2,2)")
                          .arg(cell(at, lsrform::BasePrice), cell(at, lsrform::Index)),
                      row.price, s.money);
        } else {
            s.number(at, lsrform::Price, row.price, s.money);
        }
        s.number(at, lsrform::PriceCoefficient, row.priceCoefficient);
        s.formula(at, lsrform::Cost,
                  QStringLiteral("ROUND(%1*%2*%3,2)")
                      .arg(cell(at, lsrform::Quantity), cell(at, lsrform::Price),
                           cell(at, lsrform::PriceCoefficient)),
                  row.cost, money);
    }

    QString sumIf(int first, int last, const QString &key) const
    {
        return QStringLiteral("SUMIF(%1,\"%2\",%3)")
            .arg(range(first, last, kKey), key, range(first, last, lsrform::Cost));
    }

    // A position's sum over its lines, which stand between the position's row and its first sum.
    void sum(const Row &row, int at)
    {
        if (m_lines < 0)
            m_lines = at - 1;
        const int first = m_single ? m_position : m_position + 1;
        QString formula;
        if (row.key == QStringLiteral("п:ФОТ"))
            formula = QStringLiteral("%1+%2").arg(
                cell(m_sums.value(QStringLiteral("п:ОТ")), lsrform::Cost),
                cell(m_sums.value(QStringLiteral("п:ОТм")), lsrform::Cost));
        else if (row.key == QStringLiteral("п:ЭМ"))
            formula = sumIf(first, m_lines, QStringLiteral("ЭМ")) + u'+' +
                      sumIf(first, m_lines, QStringLiteral("ОТм"));
        else
            formula = sumIf(first, m_lines, row.key.mid(2));
        m_sheet.formula(at, lsrform::Cost, formula, row.cost, m_sheet.money);
        m_sums.insert(row.key, at);
    }

    Sheet &m_sheet;
    int m_first = 0;
    int m_last = 0;
    int m_section = 0;
    int m_position = 0;
    int m_lines = -1;
    bool m_single = false;
    QHash<QString, int> m_sums; // the current position's sums by key
};

lxw_error writeSheet(lxw_workbook *book, const lsr::Estimate &estimate)
{
    Sheet s(book, workbook_add_worksheet(book, "ЛСР"));
    const QList<double> widths = {7, 18, 48, 10, 11, 9, 12, 13, 8, 13, 9, 15};
    for (int c = 0; c < int(widths.size()); ++c)
        s.width(c, widths.at(c));
    s.width(kKey, 8, true);
    s.width(kKind, 12, true);
    worksheet_set_landscape(s.sheet());
    worksheet_set_paper(s.sheet(), 9); // A4
    worksheet_fit_to_pages(s.sheet(), 1, 0);

    const lsr::Head &head = estimate.head;
    int row = 0;
    s.merge(row++, 0, lsrform::Cost, lsrform::title(head), s.title);
    ++row;
    for (const auto &[caption, text] : lsrform::headLines(head)) {
        s.text(row, lsrform::Basis, caption, s.bold);
        s.text(row++, lsrform::Name, text);
    }
    ++row;
    // Two heading rows: the groups over their columns, the others standing through both.
    const QStringList headings = lsrform::columnHeadings();
    for (int c = lsrform::Num; c <= lsrform::Unit; ++c)
        s.merge(row, c, c, headings.at(c), s.heading, row + 1);
    s.merge(row, lsrform::PerUnit, lsrform::Quantity, lsrform::quantityGroup(), s.heading);
    s.merge(row, lsrform::BasePrice, lsrform::Cost, lsrform::costGroup(), s.heading);
    for (int c = lsrform::PerUnit; c < lsrform::ColumnCount; ++c)
        s.text(row + 1, c, headings.at(c), s.heading);
    for (int c = 0; c < lsrform::ColumnCount; ++c)
        s.text(row + 2, c, QString::number(c + 1), s.heading);
    worksheet_repeat_rows(s.sheet(), lxw_row_t(row), lxw_row_t(row + 2));
    row += 3;
    const QList<Row> rows = lsrform::rows(estimate);
    Table(s).write(rows, row);
    row += int(rows.size()) + 2;
    for (const auto &[caption, name] : lsrform::signatures(head)) {
        s.text(row, lsrform::Basis, caption, s.bold);
        s.text(row, lsrform::Name, QStringLiteral("____________ / %1").arg(name));
        row += 2;
    }
    return s.error();
}

} // namespace

std::optional<QString> write(const lsr::Estimate &estimate, const QString &path)
{
    const QString refused = QStringLiteral("Смета не выгружена в XLSX: ");
    // Made in a scratch folder and then put in place, so that a failure halfway never costs the
    // previous file.
    const QTemporaryDir scratch;
    if (!scratch.isValid())
        return refused + QStringLiteral("нет места для временного файла.");
    const QString made = scratch.filePath(QStringLiteral("estimate.xlsx"));
    const QByteArray madeName = QFile::encodeName(made);
    lxw_error error = LXW_NO_ERROR;
    {
        const PointLocale point;
        lxw_workbook *book = workbook_new(madeName.constData());
        if (!book)
            return refused + QStringLiteral("временный файл нельзя создать.");
        // The library's properties take writable strings it never writes to.
        char title[] = "Локальный сметный расчет";
        char author[] = "Мерилон 3";
        lxw_doc_properties properties = {};
        properties.title = title;
        properties.author = author;
        workbook_set_properties(book, &properties);
        error = writeSheet(book, estimate);
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
    return billfile::writeBytes(file.readAll(), path, billfile::Writing::Export);
}

} // namespace lsrxlsx
