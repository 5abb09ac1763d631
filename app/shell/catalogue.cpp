#include "catalogue.h"

#include "common/artwork.h"

#include <QEvent>
#include <QHeaderView>
#include <QMouseEvent>

namespace {

// clang-format off
const CataloguePlace kPlaces[Catalogue::kPlaceCount] = {
    {1, "Главная страница", PageId::Home},
    {1, "Конструкции из кирпича", PageId::Overview, "Конструкции из кирпича"},
    {2, "Кирпичная кладка 1,0 кирпич (250 мм.)", PageId::Masonry, nullptr, 0, "25"},
    {2, "Кирпичная кладка 1,5 кирпича (380 мм.)", PageId::Masonry, nullptr, 1, "38"},
    {2, "Кирпичная кладка 2,0 кирпича  (510 мм.)", PageId::Masonry, nullptr, 2, "51"},
    {2, "Кирпичная кладка 2,5 кирпича  (640 мм.)", PageId::Masonry, nullptr, 3, "64"},
    {1, "Конструкции монолитные", PageId::Overview, "Конструкции монолитные"},
    {2, "Фундаменты под здания и сооружения", PageId::Foundation},
    {1, "Конструкции из дерева", PageId::Overview, "Конструкции из дерева"},
    {2, "Устройство ворот", PageId::Gates},
    {1, "Конструкции из металла", PageId::Overview, "Конструкции из металла"},
    {2, "Окраска поверхности (сурик)", PageId::Painting},
    {1, "Полы", PageId::Overview, "Полы"},
    {2, "Устройство подстилающих слоев", PageId::Underlay},
    {1, "Наружние покрытия", PageId::Overview, "Наружные покрытия"},
    {2, "Расчет тротуарной плитки", PageId::Tiles},
    {1, "Благоустройство", PageId::Overview, "Благоустройство"},
    {2, "Посев многолетних трав", PageId::Grass},
    {1, "О программе", PageId::Home},
};
// clang-format on

constexpr int kFloorsPlace = 12; // "Полы" keeps its closed icon when selected

QIcon nodeIcon(bool changesWhenSelected)
{
    QIcon icon = artwork::icon({":/node.png"});
    icon.addPixmap(artwork::picture(QString::fromLatin1(changesWhenSelected ? ":/node_selected.png"
                                                                            : ":/node.png")),
                   QIcon::Selected);
    return icon;
}

} // namespace

const CataloguePlace &Catalogue::place(int place)
{
    return kPlaces[place];
}

Catalogue::Catalogue(QWidget *parent) : QTreeWidget(parent)
{
    setObjectName(QStringLiteral("TreeView1"));
    setHeaderHidden(true);
    setColumnCount(1);
    setIndentation(19);
    setRootIsDecorated(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setIconSize(QSize(16, 16));
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Plain);
    setViewportMargins(8, 8, 8, 8);

    // The selection shows only while the tree has the keyboard focus.
    QPalette palette = this->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Base));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText, palette.color(QPalette::Text));
    setPalette(palette);

    const QIcon usual = nodeIcon(true);
    const QIcon floors = nodeIcon(false);
    QTreeWidgetItem *section = nullptr;
    for (int i = 0; i < kPlaceCount; ++i) {
        auto *node = new QTreeWidgetItem(QStringList(QString::fromUtf8(kPlaces[i].text)));
        node->setIcon(0, i == kFloorsPlace ? floors : usual);
        if (kPlaces[i].level == 1) {
            addTopLevelItem(node);
            section = node;
        } else {
            section->addChild(node);
        }
        m_nodes.append(node);
    }

    // The last line of defence for the rule above: whatever took the selection away, the node
    // selected before gets it back.
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        const QList<QTreeWidgetItem *> selected = selectedItems();
        if (!selected.isEmpty())
            m_keptNode = selected.first();
        else if (m_keptNode)
            m_keptNode->setSelected(true);
    });
}

int Catalogue::selectedPlace() const
{
    const QList<QTreeWidgetItem *> selected = selectedItems();
    return selected.isEmpty() ? -1 : placeOf(selected.first());
}

void Catalogue::select(int place)
{
    setCurrentItem(node(place));
}

void Catalogue::expandForSelection(int previousPlace, int newPlace)
{
    QTreeWidgetItem *newNode = node(newPlace);
    if (previousPlace >= 0) {
        QTreeWidgetItem *previousBranch = node(previousPlace);
        while (previousBranch->parent())
            previousBranch = previousBranch->parent();
        QTreeWidgetItem *newBranch = newNode->parent() ? newNode->parent() : newNode;
        if (previousBranch != newBranch)
            previousBranch->setExpanded(false);
    }
    if (newNode->parent())
        newNode->parent()->setExpanded(true);
    if (newNode->childCount() > 0)
        newNode->setExpanded(true);
}

// The view sets its margins to make room for its header, hidden as it is; the flat frame's inner
// margin goes back after it.
void Catalogue::updateGeometries()
{
    QTreeWidget::updateGeometries();
    setViewportMargins(8, 8, 8, 8);
}

// A click counts wherever it lands (on a node, on an expand button or on the empty area) and
// whichever button makes it: a right or middle press selects like a left one.
bool Catalogue::viewportEvent(QEvent *event)
{
    const bool handled = QTreeWidget::viewportEvent(event);
    if (event->type() == QEvent::MouseButtonRelease)
        emit clickedAnywhere();
    return handled;
}

// Once a node is selected one always stays selected: Ctrl with a click or with Space would
// otherwise take the selection away and leave the pages without their node (docs/decisions.md,
// "The catalogue keeps its selection").
QItemSelectionModel::SelectionFlags Catalogue::selectionCommand(const QModelIndex &index,
                                                                const QEvent *event) const
{
    const QItemSelectionModel::SelectionFlags command = QTreeWidget::selectionCommand(index, event);
    if (command & (QItemSelectionModel::Deselect | QItemSelectionModel::Toggle))
        return QItemSelectionModel::NoUpdate;
    return command;
}

// A selection rectangle over no node would only clear the selection.
void Catalogue::setSelection(const QRect &rect, QItemSelectionModel::SelectionFlags command)
{
    const QRect area = rect.normalized();
    if (!indexAt(area.topLeft()).isValid() && !indexAt(area.bottomRight()).isValid())
        return;
    QTreeWidget::setSelection(rect, command);
}

// A press on the empty area keeps the selection, as users of a catalogue expect.
void Catalogue::mousePressEvent(QMouseEvent *event)
{
    if (!indexAt(event->position().toPoint()).isValid()) {
        setFocus(Qt::MouseFocusReason);
        return;
    }
    QTreeWidget::mousePressEvent(event);
}
