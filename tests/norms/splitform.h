#pragma once

#include "journalfile_system.h"

#include <QFile>
#include <QList>
#include <QRegularExpression>
#include <QStringList>

// A region's price list written as the state pricing system publishes it: title rows with the
// period and the label–value rows, the header row, the row numbering the columns, then a
// resource a row in the nine columns, with group headings between; as a workbook or as CSV.
namespace splitform {

inline const QStringList kHeaders{
    QStringLiteral("Код ресурса, услуги"),
    QStringLiteral("Наименование строительного ресурса, услуги"),
    QStringLiteral("Единица измерения"),
    QStringLiteral("Отпускная цена на 01.01.2022 (базовый уровень), руб."),
    QStringLiteral("Сметная цена на 01.01.2022 (базовый уровень), руб."),
    QStringLiteral("Номер группы однородных ресурсов"),
    QStringLiteral("Наименование группы однородных ресурсов"),
    QStringLiteral("Сметная цена в текущем уровне, руб."),
    QStringLiteral("Индекс изменения сметной цены к группе однородных ресурсов")};

struct Form
{
    QString period = QStringLiteral("Сплит-форма информации о ценах за 2 квартал 2026 года");
    QString subject = QStringLiteral("г. Москва");
    QString zone = QStringLiteral("г. Москва");
    QStringList headers = kHeaders;
    QList<int> order{0, 1, 2, 3, 4, 5, 6, 7, 8}; // the published column at each place
    QList<QStringList> resources;                // in the published order; {name} a heading
};

// The sheet's rows as they stand: title, header, column numbers, resources.
inline QList<QStringList> sheetRows(const Form &form)
{
    QList<QStringList> rows{{form.period}, {}};
    if (!form.subject.isEmpty())
        rows.append({QStringLiteral("Наименование субъекта Российской Федерации"), form.subject});
    rows.append({QStringLiteral("Наименование зоны"), form.zone});
    rows.append({QStringLiteral("Дата формирования"), QStringLiteral("15.04.2026")});
    for (int filler = rows.size(); filler < 17; ++filler)
        rows.append(QStringList());
    const auto placed = [&form](const QStringList &published) {
        QStringList row;
        for (const int column : form.order)
            row.append(column < published.size() ? published.at(column) : QString());
        return row;
    };
    rows.append(placed(form.headers));
    QStringList numbers;
    for (int column = 1; column <= 9; ++column)
        numbers.append(QString::number(column));
    rows.append(placed(numbers));
    for (const QStringList &resource : form.resources)
        rows.append(
            placed(resource.size() == 1 ? QStringList{QString(), resource.front()} : resource));
    return rows;
}

#if __has_include(<xlsxwriter.h>)
} // namespace splitform
#include <xlsxwriter.h>
namespace splitform {

// Plain numbers («1036.96») go in as numeric cells, the others as texts; inlineTexts writes the
// texts in the cells rather than in the shared strings.
inline bool writeXlsx(const QString &path, const Form &form, bool inlineTexts = false)
{
    static const QRegularExpression plain(QStringLiteral("^\\d+(\\.\\d+)?$"));
    lxw_workbook_options options{};
    options.constant_memory = inlineTexts ? LXW_TRUE : LXW_FALSE;
    lxw_workbook *book = workbook_new_opt(path.toUtf8().constData(), &options);
    lxw_worksheet *sheet = workbook_add_worksheet(book, "Сплит-форма");
    const QList<QStringList> rows = sheetRows(form);
    for (qsizetype row = 0; row < rows.size(); ++row) {
        for (qsizetype column = 0; column < rows.at(row).size(); ++column) {
            const QString &text = rows.at(row).at(column);
            const auto r = lxw_row_t(row);
            const auto c = lxw_col_t(column);
            if (plain.match(text).hasMatch())
                worksheet_write_number(sheet, r, c, text.toDouble(), nullptr);
            else if (!text.isEmpty())
                worksheet_write_string(sheet, r, c, text.toUtf8().constData(), nullptr);
        }
    }
    return workbook_close(book) == LXW_NO_ERROR;
}
#endif

inline bool writeCsv(const QString &path, const Form &form, QChar separator, bool windows1251)
{
    QString text;
    for (const QStringList &row : sheetRows(form)) {
        QStringList cells;
        for (QString cell : row) {
            if (cell.contains(separator) || cell.contains(u'"'))
                cell = u'"' + cell.replace(u'"', QStringLiteral("\"\"")) + u'"';
            cells.append(cell);
        }
        text += cells.join(separator) + QStringLiteral("\r\n");
    }
    QFile file(path);
    // Encoded by the journal's writer, which knows the code page on both systems.
    const QByteArray bytes = windows1251 ? journalfile::system::toWindows1251(text) : text.toUtf8();
    return file.open(QIODevice::WriteOnly) && file.write(bytes) > 0;
}

} // namespace splitform
