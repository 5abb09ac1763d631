#pragma once

#include <QGroupBox>

class QButtonGroup;

// A radio group whose selection is an index, -1 while no item is selected. It announces a
// selection only when it changes to another item: by a click, by the keyboard or through
// select(); choosing the selected item again, and clearSelection(), announce nothing.
class VariantList : public QGroupBox
{
    Q_OBJECT

public:
    VariantList(const QString &name, const QString &caption, const QStringList &items,
                QWidget *parent = nullptr);

    // Its items, in order. Qt makes radio items that follow each other in the focus chain one
    // tab stop (the checked item, or the first), so a tab order places them all together.
    QList<QWidget *> items() const;

    int selectedIndex() const;
    void select(int index);
    void clearSelection();

signals:
    void selectionChanged(int index);

private:
    QButtonGroup *m_group;
};
