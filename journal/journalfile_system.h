#pragma once

#include <QByteArray>
#include <QString>

// The per-system half of journalfile: one implementation file per system. Functions that can
// fail return the system's error code, 0 on success.
namespace journalfile::system {

// Every character the code page lacks becomes «?».
QByteArray toWindows1251(const QString &text);

int replaceAtomically(const QByteArray &bytes, const QString &path);

} // namespace journalfile::system
