#include "variantlist.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

VariantList::VariantList(const QString &name, const QString &caption, const QStringList &items,
                         QWidget *parent)
    : QGroupBox(caption, parent), m_group(new QButtonGroup(this))
{
    setObjectName(name);
    auto *layout = new QVBoxLayout(this);
    layout->setSpacing(2);
    layout->setContentsMargins(8, 4, 8, 6);
    for (int i = 0; i < items.size(); ++i) {
        auto *button = new QRadioButton(items.at(i), this);
        button->setObjectName(QStringLiteral("%1_%2").arg(name, QString::number(i)));
        m_group->addButton(button, i);
        layout->addWidget(button);
    }
    connect(m_group, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            emit selectionChanged(id);
    });
}

QList<QWidget *> VariantList::items() const
{
    QList<QWidget *> items;
    for (QAbstractButton *button : m_group->buttons())
        items.append(button);
    return items;
}

int VariantList::selectedIndex() const
{
    return m_group->checkedId();
}

void VariantList::select(int index)
{
    if (index != selectedIndex())
        m_group->button(index)->setChecked(true);
}

// An exclusive group cannot uncheck its checked button, so exclusivity is lifted meanwhile.
void VariantList::clearSelection()
{
    QAbstractButton *checked = m_group->checkedButton();
    if (!checked)
        return;
    const QSignalBlocker blocker(m_group);
    m_group->setExclusive(false);
    checked->setChecked(false);
    m_group->setExclusive(true);
}
