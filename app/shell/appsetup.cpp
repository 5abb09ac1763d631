#include "appsetup.h"

#include "windowstyle.h"

#include <QApplication>
#include <QFont>

void setUpApplication()
{
    QApplication::setApplicationName(QStringLiteral("Merilon"));
    // The window is laid out in 8-point Arial (metric-compatible Liberation Sans on Linux).
    QApplication::setFont(QFont(QStringLiteral("Arial"), 8));
    WindowStyle::install();
}
