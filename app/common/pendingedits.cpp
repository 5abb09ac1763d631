#include "pendingedits.h"

#include <QAbstractItemDelegate>
#include <QAbstractItemView>

namespace pendingedits {

void commitCellEditors(QWidget *root)
{
    for (QAbstractItemView *view : root->findChildren<QAbstractItemView *>()) {
        // A view edits its current cell. An editor kept open on purpose stays open: the view
        // closes none of those.
        const QModelIndex cell = view->currentIndex();
        QWidget *editor = cell.isValid() ? view->indexWidget(cell) : nullptr;
        if (!editor)
            continue;
        QAbstractItemDelegate *delegate = view->itemDelegateForIndex(cell);
        emit delegate->commitData(editor);
        emit delegate->closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

} // namespace pendingedits
