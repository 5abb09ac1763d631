#include "inputfield.h"

#include <QMouseEvent>

InputField::InputField(const QString &name, const QString &defaultText, ClickBehaviour behaviour,
                       QWidget *parent)
    : QLineEdit(defaultText, parent), m_defaultText(defaultText), m_behaviour(behaviour)
{
    setObjectName(name);
}

void InputField::mouseReleaseEvent(QMouseEvent *event)
{
    QLineEdit::mouseReleaseEvent(event);
    if (m_behaviour == ClearOnClick && event->button() == Qt::LeftButton &&
        rect().contains(event->position().toPoint()))
        clear();
}
