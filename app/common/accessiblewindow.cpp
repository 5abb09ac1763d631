#include "accessiblewindow.h"

#include <QAccessibleWidget>
#include <QWidget>

namespace {

constexpr char kMarked[] = "merilonAccessibleWindow";

// Asked with the most derived class name first, so the window's own class answers before
// QWidget's default does.
QAccessibleInterface *windowInterface(const QString &className, QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    if (!widget || !widget->property(kMarked).toBool() ||
        className != QLatin1StringView(object->metaObject()->className()))
        return nullptr;
    return new QAccessibleWidget(widget, QAccessible::Window);
}

} // namespace

void presentAsWindow(QWidget *window)
{
    window->setProperty(kMarked, true);
    QAccessible::installFactory(windowInterface);
}
