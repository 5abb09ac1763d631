#include "windowstyle.h"

#include <QApplication>
#include <QPainter>
#include <QStyleOption>

void WindowStyle::install()
{
    if (!qobject_cast<WindowStyle *>(QApplication::style()))
        QApplication::setStyle(new WindowStyle(QApplication::style()->name()));
}

void WindowStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option,
                                QPainter *painter, const QWidget *widget) const
{
    if (element == PE_IndicatorBranch) {
        drawBranch(option, painter);
        return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

// Dotted lines join each node to its parent and siblings; a node with children gets a small box
// with a plus when closed and a minus when open, in the colours of the palette.
void WindowStyle::drawBranch(const QStyleOption *option, QPainter *painter)
{
    const QRect rect = option->rect;
    const QPoint mid = rect.center();
    const QColor ink = option->palette.color(QPalette::Dark);
    painter->save();
    painter->setPen(QPen(ink, 1, Qt::DotLine));
    if (option->state & State_Item)
        painter->drawLine(mid.x(), mid.y(), rect.right(), mid.y());
    if (option->state & State_Sibling)
        painter->drawLine(mid.x(), rect.top(), mid.x(), rect.bottom());
    else if (option->state & State_Item)
        painter->drawLine(mid.x(), rect.top(), mid.x(), mid.y());

    if (option->state & State_Children) {
        const QRect box(mid.x() - 4, mid.y() - 4, 8, 8);
        painter->setPen(QPen(ink, 1, Qt::SolidLine));
        painter->setBrush(option->palette.color(QPalette::Base));
        painter->drawRect(box);
        painter->setPen(option->palette.color(QPalette::Text));
        painter->drawLine(box.left() + 2, mid.y(), box.right() - 2, mid.y());
        if (!(option->state & State_Open))
            painter->drawLine(mid.x(), box.top() + 2, mid.x(), box.bottom() - 2);
    }
    painter->restore();
}

// The tool bar places its first button itself, 8 pixels from the edge, whatever the style pads.
int WindowStyle::pixelMetric(PixelMetric metric, const QStyleOption *option,
                             const QWidget *widget) const
{
    switch (metric) {
    case PM_ToolBarItemMargin:
    case PM_ToolBarFrameWidth:
    case PM_ToolBarItemSpacing:
        return 0;
    default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

// Taken from the style's built-in drawings, the overflow arrows load no image plugin.
QIcon WindowStyle::standardIcon(StandardPixmap which, const QStyleOption *option,
                                const QWidget *widget) const
{
    if (which == SP_ToolBarHorizontalExtensionButton ||
        which == SP_ToolBarVerticalExtensionButton) {
        const QPixmap arrow = baseStyle()->standardPixmap(which, option, widget);
        if (!arrow.isNull())
            return QIcon(arrow);
    }
    return QProxyStyle::standardIcon(which, option, widget);
}
