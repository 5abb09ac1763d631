#include "billtable.h"

#include <QHeaderView>
#include <QLabel>

#include <algorithm>

BillTable::BillTable(const QString &name, QAbstractItemModel *model, QWidget *parent)
    : QTableView(parent), m_problem(new QLabel(viewport()))
{
    setObjectName(name);
    setModel(model);
    setAlternatingRowColors(true);
    setWordWrap(false);
    // Rows of one height need no measuring, which keeps a bill of thousands of entries quick.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setStretchLastSection(true);

    m_problem->setObjectName(name + QStringLiteral("Problem"));
    m_problem->setWordWrap(true);
    m_problem->setAutoFillBackground(true);
    m_problem->setFrameShape(QFrame::Box);
    m_problem->setMargin(4);
    // The colours of a tooltip, which every theme keeps readable.
    m_problem->setForegroundRole(QPalette::ToolTipText);
    m_problem->setBackgroundRole(QPalette::ToolTipBase);
    m_problem->hide();
    connect(model, &QAbstractItemModel::modelReset, m_problem, &QWidget::hide);
}

void BillTable::showProblem(const QModelIndex &index, const QString &reason)
{
    const QRect cell = visualRect(index);
    m_problem->setText(reason);
    m_problem->setFixedWidth(std::min(320, viewport()->width()));
    m_problem->adjustSize();
    int top = cell.bottom() + 2;
    if (top + m_problem->height() > viewport()->height())
        top = std::max(0, cell.top() - m_problem->height() - 2);
    const int left =
        std::clamp(cell.left(), 0, std::max(0, viewport()->width() - m_problem->width()));
    m_problem->move(left, top);
    m_problem->show();
    m_problem->raise();
}

QModelIndex BillTable::editableAfter(const QModelIndex &from, bool forward) const
{
    const int rows = model()->rowCount(), columns = model()->columnCount();
    int cell =
        from.isValid() ? from.row() * columns + from.column() : (forward ? -1 : rows * columns);
    for (cell += forward ? 1 : -1; cell >= 0 && cell < rows * columns; cell += forward ? 1 : -1) {
        const QModelIndex index = model()->index(cell / columns, cell % columns);
        if ((index.flags() & Qt::ItemIsEditable) && !isColumnHidden(index.column()))
            return index;
    }
    return {};
}

QModelIndex BillTable::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    if (action == MoveNext || action == MovePrevious)
        return editableAfter(currentIndex(), action == MoveNext);
    return QTableView::moveCursor(action, modifiers);
}

bool BillTable::focusNextPrevChild(bool next)
{
    // Entering the table lands on the first (or, going back, the last) cell to edit.
    const QModelIndex target = editableAfter(hasFocus() ? currentIndex() : QModelIndex(), next);
    if (hasFocus() && target.isValid()) {
        setCurrentIndex(target);
        return true;
    }
    return QWidget::focusNextPrevChild(next);
}

void BillTable::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    m_problem->hide();
}
