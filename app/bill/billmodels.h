#pragma once

#include "bill.h"
#include "billtexts.h"

#include <QAbstractTableModel>
#include <QHash>

class BillBook;
class BillReadings;

// What the bill's tables share: cells edited in place, where a text that cannot be taken stays
// in its cell, marked, with the reason, until it is corrected. The tables paint from memory:
// the bill and what was read of the norm base for it, never the base itself; a text taken goes
// out as an edit for the book to make.
class BillTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;

    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;

signals:
    void refused(const QModelIndex &index, const QString &reason);

protected:
    virtual QVariant cellData(const QModelIndex &index, int role) const = 0;
    // Takes the text into the bill, or says why it cannot go there.
    virtual std::optional<bom::Refusal> apply(const QModelIndex &index, const QString &text) = 0;
    void forgetRefusals() { m_refused.clear(); }

private:
    struct Refused
    {
        QString text;
        QString reason;
    };
    QHash<std::pair<int, int>, Refused> m_refused;
};

// The entries of the bill, one row each, newest last; the count of works and the note are
// edited in place.
class EntriesModel : public BillTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        Added,
        Work,
        Count,
        Inputs,
        Materials,
        Note,
        // What a bill of quantities needs of the entry.
        Section,
        VolumeUnit,
        Volume,
        Formula,
        Basis,
        ColumnCount
    };

    EntriesModel(const BillBook &book, const BillReadings &readings, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

signals:
    void countEdited(int row, int count);
    void noteEdited(int row, const QString &note);
    // An entry changed as a whole, said as what.
    void entryEdited(int row, const bom::Entry &entry, const QString &what);

protected:
    QVariant cellData(const QModelIndex &index, int role) const override;
    std::optional<bom::Refusal> apply(const QModelIndex &index, const QString &text) override;

private:
    const BillBook &m_book;
    const BillReadings &m_readings;
};

// One row per material to buy over the whole bill; reserve, pack size and the price per unit or
// per pack are edited in place. The resource code is the model's last column, after the columns
// every table of the bill shares; the window shows it first, and only while some row has a code.
class TotalsModel : public BillTableModel
{
    Q_OBJECT

public:
    static constexpr int CodeColumn = billtexts::TotalsColumnCount;
    // The catalogue's price at its base level, shown while there is a catalogue.
    static constexpr int CatalogueColumn = CodeColumn + 1;

    TotalsModel(const BillBook &book, const BillReadings &readings, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

signals:
    void termsEdited(const bom::MaterialKey &key, const bom::Terms &terms);

protected:
    QVariant cellData(const QModelIndex &index, int role) const override;
    std::optional<bom::Refusal> apply(const QModelIndex &index, const QString &text) override;

private:
    const BillBook &m_book;
    const BillReadings &m_readings;
};

// The hours of labour and of machines over the whole bill, one row per resource; a machine's
// price of a machine-hour is edited in place. After the shared columns with prices, the
// catalogue's price at its base level.
class HoursModel : public BillTableModel
{
    Q_OBJECT

public:
    static constexpr int PriceColumn = billtexts::HoursColumnCount;
    static constexpr int PricedColumnCount = billtexts::HoursColumnCount + 3;
    static constexpr int CatalogueColumn = PricedColumnCount;

    HoursModel(const BillBook &book, const BillReadings &readings, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

signals:
    void termsEdited(const bom::MaterialKey &key, const bom::Terms &terms);

protected:
    QVariant cellData(const QModelIndex &index, int role) const override;
    std::optional<bom::Refusal> apply(const QModelIndex &index, const QString &text) override;

private:
    const BillBook &m_book;
    const BillReadings &m_readings;
};
