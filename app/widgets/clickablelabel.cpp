#include "clickablelabel.h"

#include "colourcontrast.h"

#include <QMouseEvent>

ClickableLabel::ClickableLabel(const QString &name, QWidget *parent) : QLabel(parent)
{
    setObjectName(name);
    setCursor(Qt::PointingHandCursor);
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent *event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

void ClickableLabel::showAsLink()
{
    m_link = true;
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
    applyLinkColour();
}

QColor ClickableLabel::linkColour(const QColor &background)
{
    const QColor blue(Qt::blue);
    for (int step = 0; step <= 20; ++step) {
        const float white = static_cast<float>(step) / 20.0f;
        const QColor colour = QColor::fromRgbF(white, white, 1.0f);
        if (colourcontrast::ratio(colour, background) >= colourcontrast::kReadable)
            return colour;
    }
    return blue;
}

// The window's colours may change while the program runs, when the desktop changes its theme.
void ClickableLabel::changeEvent(QEvent *event)
{
    QLabel::changeEvent(event);
    if (m_link && event->type() == QEvent::PaletteChange)
        applyLinkColour();
}

void ClickableLabel::applyLinkColour()
{
    const QColor colour = linkColour(palette().color(backgroundRole()));
    if (palette().color(foregroundRole()) == colour)
        return;
    QPalette linkPalette = palette();
    linkPalette.setColor(foregroundRole(), colour);
    setPalette(linkPalette);
}
