#include "journalprint.h"

#include "journalfile.h"

#include <QPdfWriter>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>

namespace journalprint {

void print(QPagedPaintDevice *device, const QStringList &lines, const QString &dateText,
           const QString &timeText)
{
    QTextDocument document;
    QFont font(QStringLiteral("Arial"), 10);
    document.setDefaultFont(font);
    QTextCursor cursor(&document);

    QTextCharFormat heading;
    QFont headingFont = font;
    headingFont.setPointSize(14);
    headingFont.setBold(true);
    heading.setFont(headingFont);
    cursor.insertText(QStringLiteral("Мерилон 3 — история расчетов"), heading);
    QTextBlockFormat spaced;
    spaced.setBottomMargin(12);
    cursor.insertBlock(spaced);
    cursor.insertText(QStringLiteral("Дата: ") + dateText + QStringLiteral("    Время: ") +
                          timeText,
                      QTextCharFormat());
    for (const QString &line : lines) {
        cursor.insertBlock(QTextBlockFormat());
        cursor.insertText(line);
    }
    // With no page size of its own the document numbers the pages it prints.
    document.print(device);
}

std::optional<QString> writePdf(const QString &path, const QStringList &lines,
                                const QString &dateText, const QString &timeText)
{
    // The PDF writer does not say why it failed; a plain open beforehand does.
    if (std::optional<QString> failure = journalfile::createEmpty(path))
        return failure;

    QPdfWriter writer(path);
    writer.setTitle(QStringLiteral("Мерилон 3 — история расчетов"));
    writer.setCreator(QStringLiteral("Мерилон 3"));
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(20, 15, 15, 15), QPageLayout::Millimeter);
    print(&writer, lines, dateText, timeText);
    return std::nullopt;
}

} // namespace journalprint
