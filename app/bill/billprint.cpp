#include "billprint.h"

#include "billcsv.h"
#include "billtexts.h"
#include "shell/journalprint.h"

#include <QTextCursor>
#include <QTextTable>

namespace billprint {

namespace {

const QString kHeading = QStringLiteral("Мерилон 3 — ведомость материалов");

void insertTable(QTextCursor &cursor, const QStringList &headings, const QList<QStringList> &rows,
                 const QList<int> &percents)
{
    QTextTableFormat format;
    format.setCellPadding(2);
    format.setCellSpacing(0);
    format.setBorder(0.5);
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    format.setHeaderRowCount(1);
    format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
    QList<QTextLength> widths;
    for (const int percent : percents)
        widths.append(QTextLength(QTextLength::PercentageLength, percent));
    format.setColumnWidthConstraints(widths);
    QTextTable *table = cursor.insertTable(int(rows.size()) + 1, int(headings.size()), format);
    // Smaller than the journal's lines, so that figures of six digits fit their columns.
    QTextCharFormat plain;
    plain.setFontPointSize(7);
    QTextCharFormat bold = plain;
    bold.setFontWeight(QFont::Bold);
    for (int column = 0; column < headings.size(); ++column)
        table->cellAt(0, column).firstCursorPosition().insertText(headings.at(column), bold);
    for (int row = 0; row < rows.size(); ++row) {
        for (int column = 0; column < headings.size(); ++column)
            table->cellAt(row + 1, column)
                .firstCursorPosition()
                .insertText(rows.at(row).value(column), plain);
    }
    cursor.movePosition(QTextCursor::End);
}

journalprint::Body body(const bom::Bill &bill, const bom::Totals &totals, const QString &grandTotal)
{
    return [&bill, &totals, grandTotal](QTextCursor &cursor) {
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        QTextBlockFormat spaced;
        spaced.setTopMargin(10);
        spaced.setBottomMargin(4);
        cursor.insertBlock(spaced);
        cursor.insertText(QStringLiteral("Итоги"), bold);
        QList<QStringList> rows;
        for (const bom::Total &row : totals.rows)
            rows.append(billcsv::totalsCells(row));
        cursor.insertBlock(QTextBlockFormat());
        insertTable(cursor, billcsv::totalsHeadings(), rows, {27, 6, 10, 7, 10, 8, 9, 10, 13});
        cursor.insertBlock(spaced);
        cursor.insertText(grandTotal, bold);

        cursor.insertBlock(spaced);
        cursor.insertText(QStringLiteral("Записи"), bold);
        rows.clear();
        for (const bom::Entry &entry : bill.entries) {
            for (const bom::Material &material : entry.materials)
                rows.append({billcsv::addedText(entry.added), entry.work, entry.inputs,
                             material.key.name, material.key.unit,
                             material.quantity ? bom::quantityText(*material.quantity)
                                               : QStringLiteral("—")});
        }
        cursor.insertBlock(QTextBlockFormat());
        insertTable(cursor, billcsv::entriesHeadings(), rows, {11, 22, 31, 20, 5, 11});
    };
}

} // namespace

void print(QPagedPaintDevice *device, const bom::Bill &bill, const bom::Totals &totals,
           const QString &dateText, const QString &timeText)
{
    journalprint::printDocument(device, kHeading, dateText, timeText,
                                body(bill, totals, billtexts::grandTotalText(totals)));
}

std::optional<QString> writePdf(const QString &path, const bom::Bill &bill,
                                const bom::Totals &totals, const QString &dateText,
                                const QString &timeText)
{
    return journalprint::writePdfDocument(path, kHeading, dateText, timeText,
                                          body(bill, totals, billtexts::grandTotalText(totals)));
}

} // namespace billprint
