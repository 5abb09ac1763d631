#pragma once

#include <QAbstractTableModel>
#include <QHash>

class BillBook;

// The entries of the bill, one row each, newest last.
class EntriesModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit EntriesModel(BillBook &book, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    BillBook &m_book;
};

// One row per material over the whole bill; reserve, pack size and price are edited in place,
// and an edit that cannot be taken is refused with the reason as the cell's tooltip.
class TotalsModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        Material,
        Unit,
        Quantity,
        Reserve,
        WithReserve,
        PackSize,
        Packs,
        Price,
        Sum,
        ColumnCount
    };

    explicit TotalsModel(BillBook &book, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;

signals:
    void refused(const QModelIndex &index, const QString &reason);

private:
    BillBook &m_book;
    QHash<QPair<int, int>, QString> m_refusals;
};
