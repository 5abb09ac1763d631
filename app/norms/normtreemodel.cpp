#include "normtreemodel.h"

#include "firmbook.h"
#include "normbase.h"

namespace {

QString nodeText(const norms::BrowseNode &node)
{
    switch (node.kind) {
    case norms::BrowseNode::Kind::Collection:
        return node.name.isEmpty() ? node.code : node.code + QStringLiteral(" — ") + node.name;
    case norms::BrowseNode::Kind::Section:
        return QStringList{node.type, node.code, node.name}.join(u' ').simplified();
    case norms::BrowseNode::Kind::Norm:
        break;
    }
    return node.code + u' ' + node.name;
}

// A place with its children still to read, shown by an empty row under it until it is opened.
QStandardItem *placeItem(const norms::BrowseNode &node)
{
    auto *item = new QStandardItem(nodeText(node));
    item->setEditable(false);
    // Full names run long; the whole of one shows under the pointer.
    item->setToolTip(item->text());
    item->setData(int(node.kind), NormTreeModel::KindRole);
    item->setData(node.id, NormTreeModel::IdRole);
    if (node.kind != norms::BrowseNode::Kind::Norm) {
        item->setData(true, NormTreeModel::UnreadRole);
        item->appendRow(new QStandardItem);
    }
    return item;
}

} // namespace

NormTreeModel::NormTreeModel(NormBase &base, QObject *parent)
    : QStandardItemModel(parent), m_base(base)
{
    connect(&m_base, &NormBase::changed, this, [this] { readCollections(false); });
    connect(&m_base.firmBook(), &FirmBook::changed, this, [this] { readCollections(true); });
    readCollections(false);
}

std::optional<qint64> NormTreeModel::normId(const QModelIndex &index)
{
    if (index.data(KindRole).toInt() != int(norms::BrowseNode::Kind::Norm))
        return std::nullopt;
    return index.data(IdRole).toLongLong();
}

void NormTreeModel::fail(const norms::sql::Failure &failure)
{
    clear();
    m_failure = norms::failureText(failure, m_base.path());
    emit failed(m_failure);
}

void NormTreeModel::readCollections(bool firmOnly)
{
    m_failure.clear();
    norms::NormDatabase *database = m_base.database();
    if (!database) {
        clear();
        return;
    }
    QList<norms::BrowseNode> nodes;
    try {
        nodes = norms::collections(*database);
    } catch (const norms::sql::Failure &failure) {
        fail(failure);
        return;
    }
    if (firmOnly) {
        // A firm norm's change leaves the federal collections as they were, open or not; the
        // firm's are read afresh, as their norms, their prefix and their place may have changed.
        QList<qint64> kept;
        for (const norms::BrowseNode &node : std::as_const(nodes))
            if (!node.firm)
                kept.append(node.id);
        QList<qint64> shown;
        for (int row = 0; row < rowCount(); ++row)
            if (!item(row)->data(FirmRole).toBool())
                shown.append(item(row)->data(IdRole).toLongLong());
        firmOnly = shown == kept;
    }
    if (firmOnly) {
        for (int row = rowCount() - 1; row >= 0; --row)
            if (item(row)->data(FirmRole).toBool())
                removeRow(row);
    } else {
        clear();
    }
    // In the order read, so that a firm collection goes back between the federal ones it sorts
    // between.
    for (qsizetype place = 0; place < nodes.size(); ++place) {
        const norms::BrowseNode &node = nodes.at(place);
        if (firmOnly && !node.firm)
            continue;
        QStandardItem *collection = placeItem(node);
        collection->setData(node.firm, FirmRole);
        insertRow(int(place), collection);
    }
}

void NormTreeModel::fill(const QModelIndex &index)
{
    QStandardItem *place = itemFromIndex(index);
    if (!place || !place->data(UnreadRole).toBool())
        return;
    place->setData(false, UnreadRole);
    place->removeRows(0, place->rowCount());
    const norms::BrowseNode parent{norms::BrowseNode::Kind(place->data(KindRole).toInt()),
                                   place->data(IdRole).toLongLong(),
                                   {},
                                   {},
                                   {},
                                   false};
    try {
        for (const norms::BrowseNode &node : norms::children(*m_base.database(), parent))
            place->appendRow(placeItem(node));
    } catch (const norms::sql::Failure &failure) {
        // The place stays as far as it was read; the window says what failed.
        emit failed(norms::failureText(failure, m_base.path()));
    }
}
