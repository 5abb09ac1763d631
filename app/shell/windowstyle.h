#pragma once

#include <QProxyStyle>

// The program's touches on whatever style the desktop gives it: the catalogue's connecting lines
// and expand boxes, which several styles (Fusion among them) leave out; a tool bar laid out to
// the pixel, which the styles pad differently; and the arrows of the menu bar's and tool bar's
// overflow buttons, which the styles read from image files whose format every installed image
// plugin is asked to guess, loading all of them (TIFF, WebP, MNG…) while the window is built.
class WindowStyle : public QProxyStyle
{
    Q_OBJECT

public:
    using QProxyStyle::QProxyStyle;

    // Wraps the application's current style once; later calls keep it.
    static void install();

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption *option = nullptr,
                    const QWidget *widget = nullptr) const override;
    QIcon standardIcon(StandardPixmap which, const QStyleOption *option = nullptr,
                       const QWidget *widget = nullptr) const override;

private:
    static void drawBranch(const QStyleOption *option, QPainter *painter);
};
