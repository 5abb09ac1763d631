#include "appstyle.h"

QIcon AppStyle::standardIcon(StandardPixmap which, const QStyleOption *option,
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
