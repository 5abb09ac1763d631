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

    // The list's place in a tab order: its first item (a group box itself takes no focus, so
    // QWidget::setTabOrder() would ignore it).
    QWidget *tabStop() const { return focusProxy(); }

    int selectedIndex() const;
    void select(int index);
    void clearSelection();

signals:
    void selectionChanged(int index);

private:
    QButtonGroup *m_group;
};
