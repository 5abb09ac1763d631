#pragma once

#include <QStringList>

#include <optional>

class QPagedPaintDevice;

// The journal on paper or in a PDF: a heading with the program's name, the date and time
// texts, then every line as it stands; pages are numbered at the foot.
namespace journalprint {

void print(QPagedPaintDevice *device, const QStringList &lines, const QString &dateText,
           const QString &timeText);

// Returns the failure's message, if the file cannot be written.
std::optional<QString> writePdf(const QString &path, const QStringList &lines,
                                const QString &dateText, const QString &timeText);

} // namespace journalprint
