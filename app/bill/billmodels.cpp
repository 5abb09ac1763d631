#include "billmodels.h"

#include "billbook.h"
#include "billcsv.h"

namespace {

const QString kDash = QStringLiteral("—");

QString materialsText(const bom::Entry &entry)
{
    QStringList parts;
    for (const bom::Material &material : entry.materials) {
        QString part = material.key.name + u' ' +
                       (material.quantity ? bom::quantityText(*material.quantity) : kDash);
        if (!material.key.unit.isEmpty())
            part += u' ' + material.key.unit;
        parts.append(part);
    }
    return parts.join(QStringLiteral("; "));
}

} // namespace

EntriesModel::EntriesModel(BillBook &book, QObject *parent)
    : QAbstractTableModel(parent), m_book(book)
{
    connect(&book, &BillBook::entriesChanged, this, [this] {
        beginResetModel();
        endResetModel();
    });
}

int EntriesModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_book.bill().entries.size());
}

int EntriesModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 4;
}

QVariant EntriesModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    const bom::Entry &entry = m_book.bill().entries.at(index.row());
    switch (index.column()) {
    case 0:
        return billcsv::addedText(entry.added);
    case 1:
        return entry.work;
    case 2:
        return entry.inputs;
    default:
        return materialsText(entry);
    }
}

QVariant EntriesModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    static const char *const headings[] = {"Добавлено", "Работа", "Условия", "Материалы"};
    return QString::fromUtf8(headings[section]);
}

TotalsModel::TotalsModel(BillBook &book, QObject *parent)
    : QAbstractTableModel(parent), m_book(book)
{
    connect(&book, &BillBook::entriesChanged, this, [this] {
        beginResetModel();
        m_refusals.clear();
        endResetModel();
    });
    connect(&book, &BillBook::termsChanged, this, [this] {
        if (rowCount() > 0)
            emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
    });
}

int TotalsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_book.totals().rows.size());
}

int TotalsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TotalsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const bom::Total &row = m_book.totals().rows.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return billcsv::totalsCells(row).at(index.column());
    case Qt::EditRole:
        switch (index.column()) {
        case Reserve:
            return bom::percentText(row.terms.reservePercent);
        case PackSize:
            return row.terms.packSize ? bom::quantityText(*row.terms.packSize) : QString();
        case Price:
            return row.terms.priceKopecks ? bom::moneyText(*row.terms.priceKopecks) : QString();
        default:
            return billcsv::totalsCells(row).at(index.column());
        }
    case Qt::ToolTipRole: {
        const QString refusal = m_refusals.value({index.row(), index.column()});
        if (!refusal.isEmpty())
            return refusal;
        if (index.column() == Quantity && row.dashes > 0)
            return QStringLiteral("Без количества (—) в записях: %1").arg(row.dashes);
        if (index.column() == PackSize)
            return QStringLiteral("Размер одной упаковки в единицах материала; пусто — "
                                  "продается поштучно или на вес");
        if (index.column() == Price)
            return row.terms.packSize ? QStringLiteral("Цена одной упаковки, руб.")
                                      : QStringLiteral("Цена единицы материала, руб.");
        return {};
    }
    case Qt::TextAlignmentRole:
        return index.column() >= Quantity ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                          : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant TotalsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return {};
    return billcsv::totalsHeadings().at(section);
}

Qt::ItemFlags TotalsModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.column() == Reserve || index.column() == PackSize || index.column() == Price)
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool TotalsModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    const bom::MaterialKey key = m_book.totals().rows.at(index.row()).key;
    bom::Terms terms = m_book.totals().rows.at(index.row()).terms;
    const QString text = value.toString();
    std::optional<bom::Refusal> refusal;
    switch (index.column()) {
    case Reserve: {
        const bom::ReserveEdit edit = bom::readReserve(text);
        refusal = edit.refusal;
        terms.reservePercent = edit.percent;
        break;
    }
    case PackSize: {
        const bom::PackSizeEdit edit = bom::readPackSize(text);
        refusal = edit.refusal;
        terms.packSize = edit.size;
        break;
    }
    case Price: {
        const bom::PriceEdit edit = bom::readPrice(text);
        refusal = edit.refusal;
        terms.priceKopecks = edit.kopecks;
        break;
    }
    default:
        return false;
    }
    const QPair<int, int> cell{index.row(), index.column()};
    if (refusal) {
        m_refusals.insert(cell, refusal->reason);
        emit dataChanged(index, index, {Qt::ToolTipRole});
        emit refused(index, refusal->reason);
        return false;
    }
    m_refusals.remove(cell);
    m_book.setTerms(key, terms);
    return true;
}
