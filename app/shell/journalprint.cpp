#include "journalprint.h"

#include "journalfile.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace journalprint {

namespace {

void fill(QTextDocument &document, const QStringList &lines, const QString &dateText,
          const QString &timeText)
{
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
}

// The mode a newly created file gets: 0666 less the process's file mode mask. The mask is read,
// not set and reset, since changing it would race with other threads creating files.
mode_t newFileMode()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly | QIODevice::Text)) {
        while (!status.atEnd()) {
            const QByteArray line = status.readLine();
            if (line.startsWith("Umask:"))
                return 0666 & ~mode_t(line.mid(6).trimmed().toUInt(nullptr, 8));
        }
    }
    return 0644;
}

} // namespace

bool print(QPagedPaintDevice *device, const QStringList &lines, const QString &dateText,
           const QString &timeText)
{
    QPainter painter;
    if (!painter.begin(device))
        return false;
    QTextDocument document;
    document.documentLayout()->setPaintDevice(device);
    fill(document, lines, dateText, timeText);

    // The body fills the printable area but for a foot line that carries the page number.
    const QRectF area = device->pageLayout().paintRectPixels(device->logicalDpiX());
    const QFontMetricsF metrics(document.defaultFont(), device);
    const qreal footHeight = 2 * metrics.lineSpacing();
    const QSizeF body(area.width(), area.height() - footHeight);
    document.setPageSize(body);
    const int pages = document.pageCount();
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            device->newPage();
        painter.save();
        painter.translate(0, -page * body.height());
        document.drawContents(&painter, QRectF(QPointF(0, page * body.height()), body));
        painter.restore();
        painter.setFont(document.defaultFont());
        painter.drawText(QRectF(0, body.height(), body.width(), footHeight),
                         Qt::AlignRight | Qt::AlignBottom, QString::number(page + 1));
    }
    return painter.end();
}

std::optional<QString> writePdf(const QString &path, const QStringList &lines,
                                const QString &dateText, const QString &timeText)
{
    // The PDF is made in memory first: the PDF writer does not say why a write failed, a plain
    // write does.
    QByteArray pdf;
    {
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setTitle(QStringLiteral("Мерилон 3 — история расчетов"));
        writer.setCreator(QStringLiteral("Мерилон 3"));
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(20, 15, 15, 15), QPageLayout::Millimeter);
        if (!print(&writer, lines, dateText, timeText))
            return journalfile::errorMessage(EIO);
    }

    const QByteArray target = QFile::encodeName(path);
    QByteArray temporary = target + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return journalfile::errorMessage(errno);
    int failure = ::fchmod(fd, newFileMode()) == 0 ? 0 : errno;
    for (qsizetype done = 0; failure == 0 && done < pdf.size();) {
        const ssize_t written = ::write(fd, pdf.constData() + done, size_t(pdf.size() - done));
        if (written < 0 && errno != EINTR)
            failure = errno;
        else if (written > 0)
            done += written;
    }
    if (failure == 0 && ::fsync(fd) != 0)
        failure = errno;
    if (::close(fd) != 0 && failure == 0)
        failure = errno;
    if (failure == 0 && ::rename(temporary.constData(), target.constData()) != 0)
        failure = errno;
    if (failure != 0) {
        ::unlink(temporary.constData());
        return journalfile::errorMessage(failure);
    }
    return std::nullopt;
}

} // namespace journalprint
