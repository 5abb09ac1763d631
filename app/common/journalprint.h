#pragma once

#include <QStringList>

#include <functional>
#include <optional>

class QPagedPaintDevice;
class QTextCursor;

// The journal on paper or in a PDF: a heading with the program's name, the date and time
// texts, then every line as it stands; pages are numbered at the foot.
namespace journalprint {

// Returns whether the painter ended well, which for a file means that all of it was written.
bool print(QPagedPaintDevice *device, const QStringList &lines, const QString &dateText,
           const QString &timeText);

// Writes the PDF beside the chosen file first and puts it in that file's place only when it is
// complete, so that a failed export leaves an existing file as it was. Returns the failure's
// message, if any.
std::optional<QString> writePdf(const QString &path, const QStringList &lines,
                                const QString &dateText, const QString &timeText);

// Any printout of the program in the journal's form: the heading, the date line, then what body
// writes; pages numbered at the foot.
using Body = std::function<void(QTextCursor &cursor)>;
bool printDocument(QPagedPaintDevice *device, const QString &heading, const QString &dateText,
                   const QString &timeText, const Body &body);
std::optional<QString> writePdfDocument(const QString &path, const QString &heading,
                                        const QString &dateText, const QString &timeText,
                                        const Body &body);

// A printout that lays out its pages itself: paint draws every page on the device and returns
// whether the painter ended well. The PDF is written as writePdfDocument writes it.
using Pages = std::function<bool(QPagedPaintDevice *device)>;
// The PDF as bytes, for a document that has its own writer of files; none when painting failed.
std::optional<QByteArray> pdfPages(const QString &title, const Pages &paint);
std::optional<QString> writePdfPages(const QString &path, const QString &title, const Pages &paint);

} // namespace journalprint
