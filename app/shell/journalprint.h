#pragma once

#include <QStringList>

#include <functional>
#include <optional>

class QPagedPaintDevice;
class QTextCursor;

// The journal on paper or in a PDF: a heading with the program's name, the date and time
// texts, then every line as it stands; pages are numbered at the foot.
namespace journalprint {

void print(QPagedPaintDevice *device, const QStringList &lines, const QString &dateText,
           const QString &timeText);

// Returns the failure's message, if the file cannot be written.
std::optional<QString> writePdf(const QString &path, const QStringList &lines,
                                const QString &dateText, const QString &timeText);

// Any printout of the program in the journal's form: the heading, the date line, then what body
// writes; pages numbered at the foot.
using Body = std::function<void(QTextCursor &cursor)>;
void printDocument(QPagedPaintDevice *device, const QString &heading, const QString &dateText,
                   const QString &timeText, const Body &body);
std::optional<QString> writePdfDocument(const QString &path, const QString &heading,
                                        const QString &dateText, const QString &timeText,
                                        const Body &body);

} // namespace journalprint
