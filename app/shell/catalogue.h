#pragma once

#include "common/pageid.h"

#include <QString>
#include <QTreeWidget>

// What a catalogue place shows: the page, and for a section node the overview title.
struct CataloguePlace
{
    int level;
    const char *text;
    PageId page;
    const char *overviewTitle = nullptr; // only for section nodes
    // Only for masonry nodes: the kind whose rates apply and the wall thickness in hundredths
    // of a metre.
    int masonryKind = -1;
    const char *thicknessHundredths = nullptr;
};

// The section catalogue `TreeView1`: nineteen nodes in two levels, recognised by their place
// in depth-first order and never by their text.
class Catalogue : public QTreeWidget
{
    Q_OBJECT

public:
    static constexpr int kPlaceCount = 19;

    static const CataloguePlace &place(int place);

    explicit Catalogue(QWidget *parent = nullptr);

    QTreeWidgetItem *node(int place) const { return m_nodes.at(place); }
    int placeOf(const QTreeWidgetItem *node) const
    {
        return static_cast<int>(m_nodes.indexOf(const_cast<QTreeWidgetItem *>(node)));
    }

    // -1 while no node is selected.
    int selectedPlace() const;
    void select(int place);

    // Single-expand: the new node opens, the branch of the node selected before closes unless
    // it holds the new node.
    void expandForSelection(int previousPlace, int newPlace);

signals:
    // A mouse click anywhere on the tree, after the selection change that the click caused.
    void clickedAnywhere();

protected:
    bool viewportEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex &index,
                                                         const QEvent *event) const override;
    void setSelection(const QRect &rect, QItemSelectionModel::SelectionFlags command) override;
    void updateGeometries() override;

private:
    QList<QTreeWidgetItem *> m_nodes;
    QTreeWidgetItem *m_keptNode = nullptr;
};
