#pragma once

#include <QByteArray>
#include <QString>

namespace norms {

// Windows-1251 read by table: a Qt built without ICU, as the Windows build is, names no such code
// page.
QString fromWindows1251(const QByteArray &bytes);

// A table saved on Windows comes in its code page; bytes that are no valid UTF-8 are read so.
QString fromUtf8OrWindows1251(const QByteArray &bytes);

} // namespace norms
