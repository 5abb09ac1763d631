#pragma once

#include <QIcon>
#include <QPixmap>

class QLabel;

// The program's own pictures and icons, compiled in as resources. They are read with their
// format named, so that no image plugin is loaded just to guess it.
namespace artwork {

// The drawing at the given device pixel ratio: above 1 its "@2x" variant, twice as many pixels
// for the same size on screen, where the artwork has one.
QPixmap picture(const QString &resource, qreal devicePixelRatio = 1);

// Gives the label its picture when the label is first shown, at the label's own pixel ratio,
// so that start-up decodes only the pictures of the page it shows.
void showWhenShown(QLabel *label, const QString &resource);

// One icon from several sizes of the same drawing; the menu and the tool bar each take the
// size that fits them.
QIcon icon(std::initializer_list<const char *> resources, QIcon::Mode mode = QIcon::Normal);

} // namespace artwork
