#include "estimateprint.h"

#include "billfile.h"
#include "common/journalprint.h"
#include "lsrform.h"
#include "totals.h"

#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace estimateprint {

namespace {

using lsrform::Row;

// Shares of the page's width, the name of work widest, as the ministry's form has them.
constexpr qreal kWidths[lsrform::ColumnCount] = {0.035, 0.10,  0.24, 0.055, 0.065, 0.07,
                                                 0.075, 0.075, 0.05, 0.075, 0.07,  0.09};
constexpr qreal kTablePoints = 7;
constexpr qreal kHeadingPoints = 6.5; // the headings' longest words fit their columns
constexpr qreal kHeadPoints = 9;
constexpr qreal kTitlePoints = 12;
constexpr qreal kFootPoints = 7;
constexpr qreal kPadding = 1.5;
constexpr qreal kRule = 0.4;

QFont printFont(qreal points, bool bold = false)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QString money(const std::optional<double> &value)
{
    return value ? bom::groupedMoneyText(std::llround(*value * 100)) : QString();
}

QString number(const std::optional<double> &value)
{
    return value ? lsrform::numberText(*value) : QString();
}

// A coefficient of 1 changes nothing and is left blank, as in the form.
QString coefficient(const std::optional<double> &value)
{
    return value && *value != 1 ? lsrform::numberText(*value) : QString();
}

QStringList cellsOf(const Row &row)
{
    return {row.num,
            row.basis,
            row.name,
            row.unit,
            number(row.perUnit),
            coefficient(row.quantityCoefficient),
            number(row.quantity),
            money(row.basePrice),
            number(row.index),
            money(row.price),
            coefficient(row.priceCoefficient),
            money(row.cost)};
}

bool spans(const Row &row)
{
    return row.kind == Row::Kind::Section || row.kind == Row::Kind::Caption;
}

bool isBold(const Row &row)
{
    return row.kind == Row::Kind::Position || row.kind == Row::Kind::PositionTotal ||
           row.kind == Row::Kind::SectionTotal || row.kind == Row::Kind::EstimateTotal ||
           spans(row);
}

class Printout
{
public:
    Printout(QPainter &painter, QPagedPaintDevice *device, const QString &foot)
        : m_painter(painter), m_device(device), m_dpi(device->logicalDpiY()), m_foot(foot)
    {
        const QRectF area = device->pageLayout().paintRectPixels(device->logicalDpiX());
        m_footHeight = 2 * QFontMetricsF(printFont(kFootPoints), device).lineSpacing();
        m_size = QSizeF(area.width(), area.height() - m_footHeight);
        qreal x = 0;
        for (const qreal share : kWidths) {
            m_left.append(x);
            m_width.append(share * m_size.width());
            x += share * m_size.width();
        }
    }

    qreal points(qreal value) const { return value * m_dpi / 72; }

    void paragraph(const QString &text, const QFont &font, int flags = Qt::AlignLeft)
    {
        const QRectF room(0, 0, m_size.width(), m_size.height());
        const qreal height = QFontMetricsF(font, m_device)
                                 .boundingRect(room, flags | Qt::TextWordWrap, text)
                                 .height();
        if (m_y > 0 && height > this->room())
            newPage();
        m_painter.setFont(font);
        m_painter.drawText(QRectF(0, m_y, m_size.width(), height), flags | Qt::TextWordWrap, text);
        m_y += height;
    }

    void space(qreal pointsOfSpace) { m_y += points(pointsOfSpace); }

    void table(const QList<Row> &rows, qreal keepAfter)
    {
        for (qsizetype i = 0; i < rows.size(); ++i) {
            const Row &row = rows.at(i);
            const qreal height = rowHeight(row);
            const qreal after = i + 1 == rows.size() ? keepAfter : 0;
            if (!m_headed || height + after > room()) {
                if (m_headed || (m_y > 0 && headingHeight() + height > room()))
                    newPage();
                heading();
            }
            drawRow(row, height);
        }
    }

    void newPage()
    {
        drawFoot();
        m_device->newPage();
        ++m_page;
        m_y = 0;
        m_headed = false;
    }

    void finish() { drawFoot(); }
    qreal room() const { return m_size.height() - m_y; }

private:
    QRectF textRect(qreal left, qreal top, qreal width, qreal height) const
    {
        const qreal pad = points(kPadding);
        return QRectF(left + pad, top + pad, width - 2 * pad, height - 2 * pad);
    }

    qreal textHeight(const QString &text, const QFont &font, qreal width) const
    {
        const qreal pad = points(kPadding);
        return QFontMetricsF(font, m_device)
                   .boundingRect(QRectF(0, 0, width - 2 * pad, 1e6),
                                 Qt::TextWordWrap | Qt::AlignLeft, text)
                   .height() +
               2 * pad;
    }

    void cell(const QRectF &box, const QString &text, const QFont &font, int flags,
              bool shaded = false)
    {
        if (shaded)
            m_painter.fillRect(box, QColor(235, 235, 235));
        m_painter.drawRect(box);
        m_painter.setFont(font);
        m_painter.drawText(textRect(box.left(), box.top(), box.width(), box.height()),
                           flags | Qt::TextWordWrap, text);
    }

    // The groups over their columns, the lower headings, then the columns' numbers.
    qreal groupHeight() const
    {
        return textHeight(lsrform::quantityGroup(), printFont(kHeadingPoints, true),
                          m_width.at(lsrform::PerUnit) * 3);
    }
    qreal lowerHeight() const
    {
        const QStringList headings = lsrform::columnHeadings();
        qreal height = 0;
        for (int c = lsrform::PerUnit; c < lsrform::ColumnCount; ++c)
            height = std::max(
                height, textHeight(headings.at(c), printFont(kHeadingPoints, true), m_width.at(c)));
        for (int c = lsrform::Num; c <= lsrform::Unit; ++c)
            height = std::max(
                height, textHeight(headings.at(c), printFont(kHeadingPoints, true), m_width.at(c)) -
                            groupHeight());
        return height;
    }
    qreal numbersHeight() const
    {
        return textHeight(QStringLiteral("1"), printFont(kTablePoints), m_width.at(0));
    }
    qreal headingHeight() const { return groupHeight() + lowerHeight() + numbersHeight(); }

    void heading()
    {
        const QStringList headings = lsrform::columnHeadings();
        const QFont bold = printFont(kHeadingPoints, true);
        const qreal group = groupHeight();
        const qreal lower = lowerHeight();
        const int centre = Qt::AlignHCenter | Qt::AlignVCenter;
        m_painter.save();
        m_painter.setPen(QPen(Qt::black, points(kRule)));
        for (int c = lsrform::Num; c <= lsrform::Unit; ++c)
            cell(QRectF(m_left.at(c), m_y, m_width.at(c), group + lower), headings.at(c), bold,
                 centre, true);
        const auto span = [&](int first, int last) {
            return m_left.at(last) + m_width.at(last) - m_left.at(first);
        };
        cell(QRectF(m_left.at(lsrform::PerUnit), m_y, span(lsrform::PerUnit, lsrform::Quantity),
                    group),
             lsrform::quantityGroup(), bold, centre, true);
        cell(QRectF(m_left.at(lsrform::BasePrice), m_y, span(lsrform::BasePrice, lsrform::Cost),
                    group),
             lsrform::costGroup(), bold, centre, true);
        for (int c = lsrform::PerUnit; c < lsrform::ColumnCount; ++c)
            cell(QRectF(m_left.at(c), m_y + group, m_width.at(c), lower), headings.at(c), bold,
                 centre, true);
        const qreal numbers = numbersHeight();
        for (int c = 0; c < lsrform::ColumnCount; ++c)
            cell(QRectF(m_left.at(c), m_y + group + lower, m_width.at(c), numbers),
                 QString::number(c + 1), printFont(kTablePoints), centre);
        m_painter.restore();
        m_y += group + lower + numbers;
        m_headed = true;
    }

    qreal rowHeight(const Row &row) const
    {
        const QFont font = printFont(kTablePoints, isBold(row));
        if (spans(row))
            return textHeight(row.name, font, m_size.width());
        const QStringList cells = cellsOf(row);
        qreal height = 0;
        for (int c = 0; c < lsrform::ColumnCount; ++c)
            height = std::max(height, textHeight(cells.at(c), font, m_width.at(c)));
        return height;
    }

    void drawRow(const Row &row, qreal height)
    {
        const QFont font = printFont(kTablePoints, isBold(row));
        m_painter.save();
        m_painter.setPen(QPen(Qt::black, points(kRule)));
        if (spans(row)) {
            cell(QRectF(0, m_y, m_size.width(), height), row.name, font, Qt::AlignLeft);
        } else {
            const QStringList cells = cellsOf(row);
            for (int c = 0; c < lsrform::ColumnCount; ++c) {
                const int flags = c >= lsrform::PerUnit                     ? Qt::AlignRight
                                  : c == lsrform::Num || c == lsrform::Unit ? Qt::AlignHCenter
                                                                            : Qt::AlignLeft;
                cell(QRectF(m_left.at(c), m_y, m_width.at(c), height), cells.at(c), font, flags);
            }
        }
        m_painter.restore();
        m_y += height;
    }

    void drawFoot()
    {
        const QRectF foot(0, m_size.height(), m_size.width(), m_footHeight);
        m_painter.save();
        m_painter.setPen(Qt::black);
        m_painter.setFont(printFont(kFootPoints));
        m_painter.drawText(foot, Qt::AlignRight | Qt::AlignBottom, QString::number(m_page + 1));
        m_painter.drawText(foot, Qt::AlignLeft | Qt::AlignBottom, m_foot);
        m_painter.restore();
    }

    QPainter &m_painter;
    QPagedPaintDevice *m_device;
    qreal m_dpi;
    QString m_foot;
    QSizeF m_size; // of the page but its foot
    qreal m_footHeight = 0;
    QList<qreal> m_left;
    QList<qreal> m_width;
    qreal m_y = 0;
    int m_page = 0;
    bool m_headed = false; // the table's heading stands on this page
};

} // namespace

bool print(QPagedPaintDevice *device, const lsr::Estimate &estimate, const QString &dateText,
           const QString &timeText)
{
    // The table of twelve columns needs the page's length for its width.
    device->setPageOrientation(QPageLayout::Landscape);
    QPainter painter;
    if (!painter.begin(device))
        return false;
    const QString printed = QStringLiteral("%1 %2").arg(dateText, timeText).trimmed();
    Printout out(painter, device,
                 printed.isEmpty() ? QString() : QStringLiteral("Напечатано ") + printed);
    const lsr::Head &head = estimate.head;
    out.paragraph(lsrform::title(head), printFont(kTitlePoints, true), Qt::AlignHCenter);
    out.space(6);
    for (const auto &[caption, text] : lsrform::headLines(head))
        out.paragraph(caption + QStringLiteral(": ") + text, printFont(kHeadPoints));
    out.space(6);

    const QFont plain = printFont(kHeadPoints);
    QStringList signatures;
    for (const auto &[caption, name] : lsrform::signatures(head))
        signatures.append(
            QStringLiteral("%1 ____________ / %2")
                .arg(caption, name.trimmed().isEmpty() ? QStringLiteral("____________") : name));
    const qreal signaturesHeight = out.points(40) + 2 * QFontMetricsF(plain, device).lineSpacing();
    out.table(lsrform::rows(estimate), signaturesHeight);
    // The lines to sign end the document and are never left alone on its last page.
    out.space(16);
    for (const QString &signature : signatures) {
        out.paragraph(signature, plain);
        out.space(12);
    }
    out.finish();
    return painter.end();
}

std::optional<QString> writePdf(const QString &path, const lsr::Estimate &estimate,
                                const QString &dateText, const QString &timeText)
{
    const std::optional<QByteArray> pdf =
        journalprint::pdfPages(lsrform::title(estimate.head), [&](QPagedPaintDevice *device) {
            return print(device, estimate, dateText, timeText);
        });
    if (!pdf)
        return QStringLiteral("Смета не экспортирована в файл «%1»: PDF не составлен.").arg(path);
    return billfile::writeBytes(*pdf, path, billfile::Writing::Export);
}

} // namespace estimateprint
