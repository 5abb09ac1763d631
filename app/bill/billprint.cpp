#include "billprint.h"
#include "billfile.h"

#include "billtexts.h"
#include "common/journalprint.h"
#include "vortexts.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <limits>
#include <memory>
#include <vector>

namespace billprint {

namespace {

const QString kHeading = QStringLiteral("Мерилон 3 — ведомость материалов");
const QString kSignatureLine = QStringLiteral("____________");

// Sizes in points, turned into the device's pixels where they are drawn.
constexpr qreal kTextPoints = 10;
constexpr qreal kHeadingPoints = 14;
constexpr qreal kFootPoints = 8;
// A table takes the largest of these sizes at which its columns fit the page's width.
constexpr qreal kTablePoints[] = {8, 7.5, 7, 6.5, 6};
constexpr qreal kCellPadding = 2;
constexpr qreal kRule = 0.5;
constexpr qreal kGap = 8; // between the parts of the document

QFont printFont(qreal points, bool bold = false)
{
    QFont result(QStringLiteral("Arial"));
    result.setPointSizeF(points);
    result.setBold(bold);
    return result;
}

// A text laid out in lines at a given width. Its lines are drawn one by one, so that a
// paragraph may go on to the next page between two lines and a table row is measured before it
// is placed.
class Text
{
public:
    Text(const QString &text, const QFont &font, QPaintDevice *device, qreal width,
         Qt::Alignment alignment = Qt::AlignLeft,
         const QList<QTextLayout::FormatRange> &formats = {})
        : m_layout(lineBreaks(text), font, device)
    {
        QTextOption option(alignment);
        // A word wider than its column (a long number in a narrow one) is broken rather than
        // drawn over the next column.
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        m_layout.setTextOption(option);
        m_layout.setFormats(formats);
        m_layout.beginLayout();
        for (QTextLine line = m_layout.createLine(); line.isValid(); line = m_layout.createLine()) {
            line.setLineWidth(width);
            line.setPosition(QPointF(0, m_height));
            m_height += line.height();
        }
        m_layout.endLayout();
    }

    qreal height() const { return m_height; }
    int lineCount() const { return m_layout.lineCount(); }
    qreal lineTop(int index) const { return m_layout.lineAt(index).y(); }
    qreal lineHeight(int index) const { return m_layout.lineAt(index).height(); }

    // Draws the lines that lie wholly between from and to, from being placed at topLeft.
    void draw(QPainter &painter, const QPointF &topLeft, qreal from = 0,
              qreal to = std::numeric_limits<qreal>::max()) const
    {
        for (int i = 0; i < m_layout.lineCount(); ++i) {
            const QTextLine line = m_layout.lineAt(i);
            if (line.y() >= from - kSlack && line.y() + line.height() <= to + kSlack)
                line.draw(&painter, topLeft - QPointF(0, from));
        }
    }

    // The last place at or above offset where the text may be cut without cutting a line.
    qreal cutAbove(qreal offset) const
    {
        for (int i = 0; i < m_layout.lineCount(); ++i) {
            const QTextLine line = m_layout.lineAt(i);
            if (line.y() < offset - kSlack && line.y() + line.height() > offset + kSlack)
                return line.y();
        }
        return offset;
    }

private:
    // Lines are placed at sums of their heights; a rounding difference is not a cut.
    static constexpr qreal kSlack = 0.01;

    static QString lineBreaks(QString text)
    {
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        text.replace(u'\r', u'\n');
        text.replace(u'\n', QChar::LineSeparator);
        return text;
    }

    QTextLayout m_layout;
    qreal m_height = 0;
};

struct Column
{
    QString heading;
    bool number = false; // right-aligned, and kept on one line while the page allows
};

struct Table
{
    QString caption; // stands above the table, kept with its first row
    QList<Column> columns;
    QList<QStringList> rows;
};

struct Widths
{
    QList<qreal> widths;
    bool fit = true;
};

QStringList words(const QString &text)
{
    QString spaced = text;
    for (QChar &c : spaced) {
        if (c.isSpace())
            c = u' ';
    }
    return spaced.split(u' ', Qt::SkipEmptyParts);
}

// Column widths as a browser gives a table of automatic layout: every column gets at least its
// widest word (a number column its widest figure), and what is left is shared by how much more
// each column's text would take on one line. Headings wrap at their words.
Widths columnWidths(const Table &table, const QFont &plain, const QFont &bold, QPaintDevice *device,
                    qreal total, qreal cellPadding)
{
    const qreal padding = cellPadding * 1.05;
    const QFontMetricsF cells(plain, device);
    const QFontMetricsF headings(bold, device);
    const qsizetype count = table.columns.size();
    QList<qreal> least(count, 0);
    QList<qreal> natural(count, 0);
    for (qsizetype c = 0; c < count; ++c) {
        for (const QString &word : words(table.columns.at(c).heading))
            least[c] = std::max(least[c], headings.horizontalAdvance(word));
        natural[c] = least[c];
    }
    for (const QStringList &row : table.rows) {
        for (qsizetype c = 0; c < count; ++c) {
            const QString text = row.value(c);
            if (table.columns.at(c).number) {
                const qreal width = cells.horizontalAdvance(text);
                least[c] = std::max(least[c], width);
                natural[c] = std::max(natural[c], width);
                continue;
            }
            for (const QString &line : text.split(u'\n'))
                natural[c] = std::max(natural[c], cells.horizontalAdvance(line));
            for (const QString &word : words(text))
                least[c] = std::max(least[c], cells.horizontalAdvance(word));
        }
    }
    // One endless word must not take the whole page: beyond a third of it, it is broken. The
    // layout keeps widths in 64ths of a pixel, so a word measured exactly could just miss its
    // line: the padding has a little to spare.
    qreal sumLeast = 0;
    qreal sumNatural = 0;
    qreal naturalOfTexts = 0;
    for (qsizetype c = 0; c < count; ++c) {
        least[c] = std::min(least[c], total / 3) + 2 * padding;
        natural[c] = std::max(std::min(natural[c], total) + 2 * padding, least[c]);
        sumLeast += least[c];
        sumNatural += natural[c];
        if (!table.columns.at(c).number)
            naturalOfTexts += natural[c];
    }
    Widths result;
    if (sumLeast > total) {
        result.fit = false;
        for (qsizetype c = 0; c < count; ++c)
            result.widths.append(least[c] * total / sumLeast);
        return result;
    }
    for (qsizetype c = 0; c < count; ++c) {
        if (sumNatural <= total) {
            // Room to spare goes to the columns of words; figures need no more than their own.
            const bool takes = naturalOfTexts > 0 ? !table.columns.at(c).number : true;
            const qreal share = naturalOfTexts > 0 ? naturalOfTexts : sumNatural;
            result.widths.append(natural[c] +
                                 (takes ? (total - sumNatural) * natural[c] / share : 0));
        } else {
            result.widths.append(least[c] + (natural[c] - least[c]) * (total - sumLeast) /
                                                (sumNatural - sumLeast));
        }
    }
    return result;
}

// One row of a table, laid out at its columns' widths.
struct Row
{
    std::vector<std::unique_ptr<Text>> cells;
    qreal height = 0;
};

// The pages of the printout: where the next thing goes, and the foot of each page.
class Printout
{
public:
    Printout(QPainter &painter, QPagedPaintDevice *device, const QString &footText)
        : m_painter(painter), m_device(device), m_dpi(device->logicalDpiY()), m_footText(footText)
    {
        const QRectF area = device->pageLayout().paintRectPixels(device->logicalDpiX());
        // The foot is as high as the journal's: two lines of its text.
        const QFontMetricsF metrics(printFont(kTextPoints), device);
        m_footHeight = 2 * metrics.lineSpacing();
        m_size = QSizeF(area.width(), area.height() - m_footHeight);
    }

    qreal points(qreal value) const { return value * m_dpi / 72; }
    qreal width() const { return m_size.width(); }

    void heading(const QString &text)
    {
        paragraph(text, printFont(kHeadingPoints, true));
        m_y += points(kGap);
    }

    // A line of the head: its caption in bold, its text beside it.
    void headLine(const QString &caption, const QString &text)
    {
        const QString captionText = caption + QStringLiteral(": ");
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        paragraph(captionText + text, printFont(kTextPoints), Qt::AlignLeft,
                  {{0, int(captionText.size()), bold}});
    }

    // A paragraph going on to the next page between two lines when it must.
    void paragraph(const QString &text, const QFont &font, Qt::Alignment alignment = Qt::AlignLeft,
                   const QList<QTextLayout::FormatRange> &formats = {})
    {
        const Text laid(text, font, m_device, width(), alignment, formats);
        for (int i = 0; i < laid.lineCount(); ++i) {
            if (m_y > 0 && laid.lineHeight(i) > room())
                newPage();
            laid.draw(m_painter, QPointF(0, m_y), laid.lineTop(i),
                      laid.lineTop(i) + laid.lineHeight(i));
            m_y += laid.lineHeight(i);
        }
    }

    // The height of a paragraph at the page's width, for keeping it with what stands above.
    qreal paragraphHeight(const QString &text, const QFont &font) const
    {
        return Text(text, font, m_device, width()).height();
    }

    // Lines kept on one page together.
    void block(const QStringList &lines, const QFont &font, qreal spacing)
    {
        const qreal needed = blockHeight(lines, font, spacing);
        if (m_y > 0 && needed > room())
            newPage();
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (i > 0)
                m_y += spacing;
            paragraph(lines.at(i), font);
        }
    }

    qreal blockHeight(const QStringList &lines, const QFont &font, qreal spacing) const
    {
        qreal height = 0;
        for (const QString &line : lines)
            height += paragraphHeight(line, font);
        return height + spacing * qreal(std::max<qsizetype>(0, lines.size() - 1));
    }

    void space(qreal pointsOfSpace)
    {
        if (m_y > 0)
            m_y += points(pointsOfSpace);
    }

    // A table whose heading row stands at the top of each of its pages, and whose rows are
    // never cut by a page break unless one is higher than a whole page. keepAfter is the height
    // of what must stand on the page of the last row.
    void table(const Table &table, qreal keepAfter)
    {
        const qreal padding = points(kCellPadding);
        QFont plain;
        QFont bold;
        Widths widths;
        for (const qreal size : kTablePoints) {
            plain = printFont(size);
            bold = printFont(size, true);
            widths = columnWidths(table, plain, bold, m_device, width(), padding);
            if (widths.fit)
                break;
        }
        QStringList headings;
        for (const Column &column : table.columns)
            headings.append(column.heading);
        const Row header = layoutRow(headings, table, widths.widths, bold, true);
        const qreal captionHeight =
            table.caption.isEmpty()
                ? 0
                : paragraphHeight(table.caption, printFont(kTextPoints, true)) + points(kGap / 2);
        const auto drawCaption = [&] {
            if (table.caption.isEmpty())
                return;
            paragraph(table.caption, printFont(kTextPoints, true));
            m_y += points(kGap / 2);
        };

        if (table.rows.isEmpty()) {
            if (m_y > 0 && captionHeight + header.height + keepAfter > room())
                newPage();
            drawCaption();
            drawRow(header, widths.widths, 0, header.height, true);
            return;
        }
        bool headerHere = false;
        for (qsizetype i = 0; i < table.rows.size(); ++i) {
            const Row row = layoutRow(table.rows.at(i), table, widths.widths, plain, false);
            const qreal above = (i == 0 ? captionHeight : 0) + header.height;
            const qreal before = headerHere ? 0 : above;
            const qreal after = i + 1 == table.rows.size() ? keepAfter : 0;
            // A row goes on to the next page whole, with what is kept after it when both fit
            // there. One higher than a page starts where it is unless little room is left.
            const bool pageEmpty = !headerHere && m_y <= 0;
            const bool fitsAPage = above + row.height <= m_size.height();
            const bool move = fitsAPage ? before + row.height > room() ||
                                              (before + row.height + after > room() &&
                                               above + row.height + after <= m_size.height())
                                        : room() - before < m_size.height() / 4;
            if (!pageEmpty && move) {
                newPage();
                headerHere = false;
            }
            if (!headerHere) {
                if (i == 0)
                    drawCaption();
                drawRow(header, widths.widths, 0, header.height, true);
                headerHere = true;
            }
            // A row higher than a page goes on over the next pages, cut between its lines.
            qreal from = 0;
            while (row.height - from > room()) {
                qreal cut = from + room();
                for (const auto &cell : row.cells)
                    cut = std::min(cut, padding + cell->cutAbove(cut - padding));
                if (cut <= from)
                    cut = from + room();
                drawRow(row, widths.widths, from, cut, false);
                from = cut;
                newPage();
                drawRow(header, widths.widths, 0, header.height, true);
            }
            drawRow(row, widths.widths, from, row.height, false);
        }
    }

    void newPage()
    {
        drawFoot();
        m_device->newPage();
        ++m_page;
        m_y = 0;
    }

    void finish() { drawFoot(); }

private:
    qreal room() const { return m_size.height() - m_y; }

    Row layoutRow(const QStringList &texts, const Table &table, const QList<qreal> &widths,
                  const QFont &font, bool header) const
    {
        Row row;
        const qreal padding = points(kCellPadding);
        for (qsizetype c = 0; c < table.columns.size(); ++c) {
            const Qt::Alignment alignment =
                header ? Qt::AlignHCenter
                       : (table.columns.at(c).number ? Qt::AlignRight : Qt::AlignLeft);
            row.cells.push_back(std::make_unique<Text>(texts.value(c), font, m_device,
                                                       widths.at(c) - 2 * padding, alignment));
            row.height = std::max(row.height, row.cells.back()->height() + 2 * padding);
        }
        return row;
    }

    // Draws the part of a row between from and to at the current place, and goes below it.
    void drawRow(const Row &row, const QList<qreal> &widths, qreal from, qreal to, bool header)
    {
        const qreal padding = points(kCellPadding);
        const qreal height = to - from;
        m_painter.save();
        m_painter.setPen(QPen(Qt::black, points(kRule)));
        qreal x = 0;
        for (size_t c = 0; c < row.cells.size(); ++c) {
            const QRectF cell(x, m_y, widths.at(qsizetype(c)), height);
            if (header)
                m_painter.fillRect(cell, QColor(235, 235, 235));
            m_painter.drawRect(cell);
            const Text &text = *row.cells.at(c);
            // Headings stand in the middle of their row's height.
            const qreal shift = header ? (height - 2 * padding - text.height()) / 2 : 0;
            text.draw(m_painter, QPointF(x + padding, m_y + shift), from - padding, to - padding);
            x += cell.width();
        }
        m_painter.restore();
        m_y += height;
    }

    void drawFoot()
    {
        const QRectF foot(0, m_size.height(), m_size.width(), m_footHeight);
        m_painter.save();
        m_painter.setPen(Qt::black);
        // The page number where the journal's printout has it.
        m_painter.setFont(printFont(kTextPoints));
        m_painter.drawText(foot, Qt::AlignRight | Qt::AlignBottom, QString::number(m_page + 1));
        m_painter.setFont(printFont(kFootPoints));
        m_painter.drawText(foot, Qt::AlignLeft | Qt::AlignBottom, m_footText);
        m_painter.restore();
    }

    QPainter &m_painter;
    QPagedPaintDevice *m_device;
    qreal m_dpi;
    QString m_footText;
    QSizeF m_size; // of the page but its foot
    qreal m_footHeight = 0;
    qreal m_y = 0;
    int m_page = 0;
};

// The totals' columns that are not empty in every row: a bill bought by the unit needs no pack
// columns, and the table is easier to read on a portrait page without them.
Table totalsTable(const bom::Totals &totals)
{
    const QStringList headings = billtexts::totalsHeadings();
    QList<QStringList> cells;
    for (const bom::Total &row : totals.rows)
        cells.append(billtexts::totalsCells(row));
    QList<int> shown;
    for (int column = 0; column < billtexts::TotalsColumnCount; ++column) {
        const bool optional = column == billtexts::PackSize || column == billtexts::Packs ||
                              column == billtexts::UnitPrice || column == billtexts::PackPrice;
        const bool empty = std::all_of(cells.cbegin(), cells.cend(), [column](const auto &row) {
            return row.value(column).trimmed().isEmpty();
        });
        if (!optional || !empty)
            shown.append(column);
    }
    const bool coded = billtexts::hasCodes(totals);
    Table table;
    table.caption = QStringLiteral("Итоги");
    table.columns.append({QStringLiteral("№ п/п"), true});
    if (coded)
        table.columns.append({billtexts::codeHeading()});
    for (const int column : shown)
        table.columns.append(
            {headings.value(column), column != billtexts::Material && column != billtexts::Unit});
    // A price from the catalogue says so in a column of its own.
    const bool origins = billtexts::hasPriceOrigins(totals);
    if (origins)
        table.columns.append({billtexts::priceOriginHeading()});
    for (qsizetype i = 0; i < cells.size(); ++i) {
        QStringList row{QString::number(i + 1)};
        if (coded)
            row.append(totals.rows.at(i).key.code);
        for (const int column : shown)
            row.append(cells.at(i).value(column));
        if (origins)
            row.append(billtexts::priceOriginText(totals.rows.at(i).terms));
        table.rows.append(row);
    }
    return table;
}

Table hoursTable(const bom::Totals &totals)
{
    Table table;
    table.caption = billtexts::hoursCaption();
    table.columns.append({QStringLiteral("№ п/п"), true});
    const bool priced = billtexts::hasMachinePrices(totals);
    for (const QString &heading : billtexts::hoursHeadings(priced)) {
        const qsizetype column = table.columns.size() - 1;
        table.columns.append({heading, column == billtexts::HoursQuantity ||
                                           column == billtexts::HoursColumnCount ||
                                           column == billtexts::HoursColumnCount + 1});
    }
    for (qsizetype i = 0; i < totals.hours.size(); ++i)
        table.rows.append(QStringList{QString::number(i + 1)} +
                          billtexts::hoursCells(totals.hours.at(i), priced));
    return table;
}

Table entriesTable(const bom::Bill &bill)
{
    Table table;
    table.caption = QStringLiteral("Записи");
    table.columns = {{QStringLiteral("№ п/п"), true},
                     {QStringLiteral("Работа")},
                     {QStringLiteral("Условия")},
                     {QStringLiteral("Материалы")},
                     {QStringLiteral("Примечание")}};
    for (qsizetype i = 0; i < bill.entries.size(); ++i) {
        const bom::Entry &entry = bill.entries.at(i);
        QString work = entry.work;
        if (entry.count > 1)
            work += u' ' + billtexts::countText(entry.count);
        // One material a line: a row of several reads as a list, not as a run of figures.
        QStringList materials;
        for (const bom::Material &material : entry.materials)
            materials.append(billtexts::materialText(material));
        table.rows.append(
            {QString::number(i + 1), work, entry.inputs, materials.join(u'\n'), entry.note});
        if (vortexts::showsSections(bill))
            table.rows.back().insert(1, vortexts::sectionText(bill, entry));
        if (vortexts::showsLinks(bill))
            table.rows.back().append(bom::linksText(entry.links));
    }
    // A bill of quantities' section and references, in a bill that has them.
    if (vortexts::showsSections(bill))
        table.columns.insert(1, {vortexts::sectionHeading()});
    if (vortexts::showsLinks(bill))
        table.columns.append({vortexts::linksHeading()});
    return table;
}

} // namespace

bool print(QPagedPaintDevice *device, const bom::Bill &bill, const bom::Totals &totals,
           const QString &dateText, const QString &timeText)
{
    QPainter painter;
    if (!painter.begin(device))
        return false;
    const QString printed = QStringLiteral("%1 %2").arg(dateText, timeText).trimmed();
    Printout out(painter, device,
                 printed.isEmpty() ? QString() : QStringLiteral("Напечатано ") + printed);
    out.heading(kHeading);

    // Only the filled fields of the head; its date is the day of printing while it is not set.
    const QStringList captions = billtexts::headCaptions();
    const QStringList texts = billtexts::headTexts(bill.head);
    enum
    {
        Object,
        Customer,
        Address,
        CompiledBy,
        CheckedBy,
        Date
    };
    for (const int field : {Object, Customer, Address}) {
        if (!texts.value(field).trimmed().isEmpty())
            out.headLine(captions.value(field), texts.value(field));
    }
    const QString date = bill.head.date.isValid() ? texts.value(Date) : dateText;
    if (!date.isEmpty())
        out.headLine(captions.value(Date), date);
    // The index the catalogue's prices were multiplied by.
    if (const QString index = billtexts::priceIndexText(bill); !index.isEmpty())
        out.headLine(billtexts::priceIndexCaption(), index);
    out.space(kGap);

    const QFont plain = printFont(kTextPoints);
    const QFont bold = printFont(kTextPoints, true);
    const QString grandTotal = billtexts::grandTotalText(totals);
    out.table(totalsTable(totals), out.points(kGap / 2) + out.paragraphHeight(grandTotal, bold));
    out.space(kGap / 2);
    out.paragraph(grandTotal, bold, Qt::AlignRight);
    if (const QString unrated = billtexts::unratedText(totals); !unrated.isEmpty())
        out.paragraph(unrated + QStringLiteral(" — ") + totals.unrated.join(QStringLiteral("; ")),
                      plain);
    if (!totals.hours.isEmpty()) {
        const QStringList sums = billtexts::hoursSumTexts(totals);
        out.space(2 * kGap);
        out.table(hoursTable(totals), out.points(kGap / 2) + out.blockHeight(sums, bold, 0));
        out.space(kGap / 2);
        for (const QString &sum : sums)
            out.paragraph(sum, bold, Qt::AlignRight);
        if (billtexts::hasMachinePrices(totals))
            out.paragraph(billtexts::machineMoneyText(totals), bold, Qt::AlignRight);
        if (billtexts::hasMachines(totals))
            out.paragraph(billtexts::billTotalText(totals), bold, Qt::AlignRight);
    }

    // The lines to sign end the document and are never left alone on its last page.
    const auto signature = [&](int field) {
        const QString name = texts.value(field).trimmed();
        return captions.value(field) + u' ' + kSignatureLine + QStringLiteral(" / ") +
               (name.isEmpty() ? kSignatureLine : name);
    };
    const QStringList signatures = {signature(CompiledBy), signature(CheckedBy)};
    const qreal signatureSpacing = out.points(2 * kGap);
    const qreal signaturesHeight =
        out.points(3 * kGap) + out.blockHeight(signatures, plain, signatureSpacing);
    out.space(2 * kGap);
    if (!bill.entries.isEmpty())
        out.table(entriesTable(bill), signaturesHeight);
    out.space(3 * kGap);
    out.block(signatures, plain, signatureSpacing);
    out.finish();
    return painter.end();
}

std::optional<QString> writePdf(const QString &path, const bom::Bill &bill,
                                const bom::Totals &totals, const QString &dateText,
                                const QString &timeText)
{
    // Written as the bill's other exports are, so that a failure says so in their words.
    const std::optional<QByteArray> pdf =
        journalprint::pdfPages(kHeading, [&](QPagedPaintDevice *device) {
            return print(device, bill, totals, dateText, timeText);
        });
    if (!pdf)
        return QStringLiteral("Ведомость не экспортирована в файл «%1»: PDF не составлен.")
            .arg(path);
    return billfile::writeBytes(*pdf, path, billfile::Writing::Export);
}

} // namespace billprint
