#pragma once

#include <QColor>
#include <QPalette>
#include <QWidget>

// The colours of a text the program refused, in a cell or a field alike: white on dark red,
// readable in every theme, so that the user sees at once what was not taken.
namespace refusedcolours {

inline QColor background()
{
    return QColor(0xb0, 0x1c, 0x1c);
}

inline QColor text()
{
    return QColor(Qt::white);
}

// A field in those colours while refused, otherwise in its parent's.
inline void mark(QWidget *field, bool refused)
{
    QPalette palette = field->parentWidget()->palette();
    if (refused) {
        palette.setColor(QPalette::Base, background());
        palette.setColor(QPalette::Text, text());
    }
    field->setPalette(palette);
}

} // namespace refusedcolours
