#include "fieldgroup.h"

#include <QGridLayout>
#include <QLabel>

FieldGroup::FieldGroup(const QString &name, const QString &title, QWidget *parent)
    : QGroupBox(title, parent), m_layout(new QGridLayout(this))
{
    setObjectName(name);
    m_layout->setContentsMargins(8, 4, 8, 6);
    m_layout->setVerticalSpacing(4);
    m_layout->setColumnStretch(0, 1);
}

QLabel *FieldGroup::addHeading(const QString &name, const QString &text)
{
    auto *heading = new QLabel(text, this);
    heading->setObjectName(name);
    QFont font = heading->font();
    font.setBold(true);
    heading->setFont(font);
    m_layout->addWidget(heading, m_layout->rowCount(), 0, 1, 3);
    return heading;
}

InputField *FieldGroup::addField(const QString &captionName, const QString &captionText,
                                 InputField *field, QLabel *unit)
{
    auto *caption = new QLabel(captionText, this);
    caption->setObjectName(captionName);
    caption->setBuddy(field);
    field->setParent(this);
    field->setAccessibleName(captionText);
    field->setFixedWidth(70);
    const int line = m_layout->rowCount();
    m_layout->addWidget(caption, line, 0);
    m_layout->addWidget(field, line, 1);
    if (unit) {
        unit->setParent(this);
        m_layout->addWidget(unit, line, 2);
    }
    return field;
}

void FieldGroup::addValueRow(QLabel *caption, QLabel *value, QLabel *after)
{
    const int line = m_layout->rowCount();
    caption->setParent(this);
    value->setParent(this);
    m_layout->addWidget(caption, line, 0);
    m_layout->addWidget(value, line, 1);
    if (after) {
        after->setParent(this);
        m_layout->addWidget(after, line, 2);
    }
}
