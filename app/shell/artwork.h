#pragma once

#include <QIcon>
#include <QPixmap>

// The program's own pictures and icons, compiled in as resources. They are read with their
// format named, so that no image plugin is loaded just to guess it.
namespace artwork {

QPixmap picture(const QString &resource);

// One icon from several sizes of the same drawing; the menu and the tool bar each take the
// size that fits them.
QIcon icon(std::initializer_list<const char *> resources, QIcon::Mode mode = QIcon::Normal);

} // namespace artwork
