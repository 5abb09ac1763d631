#include "journalprint.h"

#include "journalfile.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <cerrno>

namespace journalprint {

namespace {

const char kJournalHeading[] = "Мерилон 3 — история расчетов";

Body journalBody(const QStringList &lines)
{
    return [&lines](QTextCursor &cursor) {
        for (const QString &line : lines) {
            cursor.insertBlock(QTextBlockFormat());
            cursor.insertText(line);
        }
    };
}

void fill(QTextDocument &document, const QString &heading, const QString &dateText,
          const QString &timeText, const Body &body)
{
    QFont font(QStringLiteral("Arial"), 10);
    document.setDefaultFont(font);
    QTextCursor cursor(&document);

    QTextCharFormat headingFormat;
    QFont headingFont = font;
    headingFont.setPointSize(14);
    headingFont.setBold(true);
    headingFormat.setFont(headingFont);
    cursor.insertText(heading, headingFormat);
    QTextBlockFormat spaced;
    spaced.setBottomMargin(12);
    cursor.insertBlock(spaced);
    cursor.insertText(QStringLiteral("Дата: ") + dateText + QStringLiteral("    Время: ") +
                          timeText,
                      QTextCharFormat());
    body(cursor);
}

} // namespace

bool printDocument(QPagedPaintDevice *device, const QString &heading, const QString &dateText,
                   const QString &timeText, const Body &body)
{
    QPainter painter;
    if (!painter.begin(device))
        return false;
    QTextDocument document;
    document.documentLayout()->setPaintDevice(device);
    fill(document, heading, dateText, timeText, body);

    // The body fills the printable area but for a foot line that carries the page number.
    const QRectF area = device->pageLayout().paintRectPixels(device->logicalDpiX());
    const QFontMetricsF metrics(document.defaultFont(), device);
    const qreal footHeight = 2 * metrics.lineSpacing();
    const QSizeF page(area.width(), area.height() - footHeight);
    document.setPageSize(page);
    const int pages = document.pageCount();
    for (int index = 0; index < pages; ++index) {
        if (index > 0)
            device->newPage();
        painter.save();
        painter.translate(0, -index * page.height());
        document.drawContents(&painter, QRectF(QPointF(0, index * page.height()), page));
        painter.restore();
        painter.setFont(document.defaultFont());
        painter.drawText(QRectF(0, page.height(), page.width(), footHeight),
                         Qt::AlignRight | Qt::AlignBottom, QString::number(index + 1));
    }
    return painter.end();
}

bool print(QPagedPaintDevice *device, const QStringList &lines, const QString &dateText,
           const QString &timeText)
{
    return printDocument(device, QString::fromUtf8(kJournalHeading), dateText, timeText,
                         journalBody(lines));
}

std::optional<QByteArray> pdfPages(const QString &title, const Pages &paint)
{
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("Мерилон 3"));
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(20, 15, 15, 15), QPageLayout::Millimeter);
        if (!paint(&writer))
            return std::nullopt;
    }
    return pdf;
}

std::optional<QString> writePdfPages(const QString &path, const QString &title, const Pages &paint)
{
    // The PDF is made in memory first: the PDF writer does not say why a write failed, the
    // journal's own file writer does, and it replaces the file only once all of it is written.
    const std::optional<QByteArray> pdf = pdfPages(title, paint);
    if (!pdf)
        return journalfile::errorMessage(EIO);
    return journalfile::writeBytes(*pdf, path);
}

std::optional<QString> writePdfDocument(const QString &path, const QString &heading,
                                        const QString &dateText, const QString &timeText,
                                        const Body &body)
{
    return writePdfPages(path, heading, [&](QPagedPaintDevice *device) {
        return printDocument(device, heading, dateText, timeText, body);
    });
}

std::optional<QString> writePdf(const QString &path, const QStringList &lines,
                                const QString &dateText, const QString &timeText)
{
    return writePdfDocument(path, QString::fromUtf8(kJournalHeading), dateText, timeText,
                            journalBody(lines));
}

} // namespace journalprint
