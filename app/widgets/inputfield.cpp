#include "inputfield.h"

#include <QMouseEvent>

#include <limits>

InputField::InputField(const QString &name, const QString &defaultText, ClickBehaviour behaviour,
                       QWidget *parent)
    : QLineEdit(defaultText, parent), m_defaultText(defaultText), m_behaviour(behaviour)
{
    setObjectName(name);
    // A field takes whatever is typed or pasted, of any length; reading judges it.
    setMaxLength(std::numeric_limits<int>::max());
}

void InputField::mouseReleaseEvent(QMouseEvent *event)
{
    QLineEdit::mouseReleaseEvent(event);
    if (m_behaviour == ClearOnClick && event->button() == Qt::LeftButton &&
        rect().contains(event->position().toPoint()))
        clear();
}
