#pragma once

#include "normbrowse.h"

#include <QStandardItemModel>

class NormBase;

// The browse tree of «Нормы»: the collections with their sections and norms, each place read the
// first time it is opened. It follows the base by itself: read afresh after an import, and after
// a firm norm's change only the firm's collections, so that the federal ones stay as the user
// opened them.
class NormTreeModel : public QStandardItemModel
{
    Q_OBJECT

public:
    // What a place of the tree is: its kind and id, whether its children are still to be read,
    // and for a collection whether it is the firm's.
    enum Role
    {
        KindRole = Qt::UserRole + 1,
        IdRole,
        UnreadRole,
        FirmRole,
    };

    explicit NormTreeModel(NormBase &base, QObject *parent = nullptr);

    // Reads the sections and norms of a place opened the first time.
    void fill(const QModelIndex &index);
    // The norm at a place; none for a collection or a section.
    static std::optional<qint64> normId(const QModelIndex &index);
    // What the base said when the collections were last read; empty when they were.
    const QString &failure() const { return m_failure; }

signals:
    // The base refused a read; the tree lacks what it would have brought.
    void failed(const QString &why);

private:
    void readCollections(bool firmOnly);
    void fail(const norms::sql::Failure &failure);

    NormBase &m_base;
    QString m_failure;
};
