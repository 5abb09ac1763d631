#include "regional.h"

#include <QLocale>

namespace calc {

QChar decimalSeparator()
{
    const QString point = QLocale::system().decimalPoint();
    return point.isEmpty() ? QChar(u'.') : point.front();
}

} // namespace calc
