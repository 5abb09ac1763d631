#pragma once

#include <QProxyStyle>

// The desktop's own style, but for the arrows of the menu bar's and the tool bar's overflow
// buttons. The style reads those from image files whose format it has every installed image
// plugin guess, which loads all of them (TIFF, WebP, MNG…) while the window is being built;
// taken from the style's built-in drawings they cost nothing.
class AppStyle : public QProxyStyle
{
    Q_OBJECT

public:
    using QProxyStyle::QProxyStyle;

    QIcon standardIcon(StandardPixmap which, const QStyleOption *option = nullptr,
                       const QWidget *widget = nullptr) const override;
};
