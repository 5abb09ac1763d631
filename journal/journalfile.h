#pragma once

#include <QByteArray>
#include <QStringList>

#include <optional>

// Journal files: one line per text line in Windows-1251, each ended by CR LF, and one more
// CR LF at the end; no byte-order mark. What differs between systems lives in
// journalfile_posix.cpp and journalfile_windows.cpp.
namespace journalfile {

// A character the code page lacks is written as «?», never dropped.
QByteArray encode(const QStringList &lines);

// The first character of text that the journal's code page lacks, empty when it has them all.
QString firstUnwritable(const QString &text);

// The message the user sees for a system error code of a failed save: errno on POSIX systems,
// GetLastError() on Windows.
QString errorMessage(int errorCode);

// Writes the whole journal to path, replacing the file only once the new one is complete, so
// a failed save never costs the previous file. Returns the failure's message, if any.
std::optional<QString> write(const QStringList &lines, const QString &path);

// Any file the program writes, put in place the same way: only once all of it is written.
std::optional<QString> writeBytes(const QByteArray &bytes, const QString &path);

} // namespace journalfile
