#include "journalprint.h"

#include "journalfile.h"

#include <QFile>
#include <QPdfWriter>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace journalprint {

namespace {

Body journalBody(const QStringList &lines)
{
    return [&lines](QTextCursor &cursor) {
        for (const QString &line : lines) {
            cursor.insertBlock(QTextBlockFormat());
            cursor.insertText(line);
        }
    };
}

const char kJournalHeading[] = "Мерилон 3 — история расчетов";

} // namespace

void printDocument(QPagedPaintDevice *device, const QString &heading, const QString &dateText,
                   const QString &timeText, const Body &body)
{
    QTextDocument document;
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
    // With no page size of its own the document numbers the pages it prints.
    document.print(device);
}

void print(QPagedPaintDevice *device, const QStringList &lines, const QString &dateText,
           const QString &timeText)
{
    printDocument(device, QString::fromUtf8(kJournalHeading), dateText, timeText,
                  journalBody(lines));
}

std::optional<QString> writePdfDocument(const QString &path, const QString &heading,
                                        const QString &dateText, const QString &timeText,
                                        const Body &body)
{
    // The PDF writer does not say why it failed; a plain open beforehand does.
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (fd < 0)
        return journalfile::errorMessage(errno);
    ::close(fd);

    QPdfWriter writer(path);
    writer.setTitle(heading);
    writer.setCreator(QStringLiteral("Мерилон 3"));
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(20, 15, 15, 15), QPageLayout::Millimeter);
    printDocument(&writer, heading, dateText, timeText, body);
    return std::nullopt;
}

std::optional<QString> writePdf(const QString &path, const QStringList &lines,
                                const QString &dateText, const QString &timeText)
{
    return writePdfDocument(path, QString::fromUtf8(kJournalHeading), dateText, timeText,
                            journalBody(lines));
}

} // namespace journalprint
