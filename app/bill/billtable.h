#pragma once

#include <QTableView>

class QLabel;

// A table of the bill's window. Tab goes from one cell that can be edited to the next and then
// on out of the table, and Shift+Tab back, so the table never traps the keyboard; the arrows move
// between all cells. A text a cell refused is explained at once, under the cell.
class BillTable : public QTableView
{
    Q_OBJECT

public:
    BillTable(const QString &name, QAbstractItemModel *model, QWidget *parent = nullptr);

    // Shows the reason under the cell until the cell is left or edited again.
    void showProblem(const QModelIndex &index, const QString &reason);
    QLabel *problem() const { return m_problem; }

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    bool focusNextPrevChild(bool next) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

private:
    QModelIndex editableAfter(const QModelIndex &from, bool forward) const;

    QLabel *m_problem;
};
