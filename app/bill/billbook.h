#pragma once

#include "totals.h"

#include <QObject>

// The bill of the running program: its entries and terms, the totals kept in step with them,
// and the terms remembered per material between runs (only those; nothing else is).
class BillBook : public QObject
{
    Q_OBJECT

public:
    explicit BillBook(QObject *parent = nullptr);

    const bom::Bill &bill() const { return m_bill; }
    const bom::Totals &totals() const { return m_totals; }

    // A new entry takes the remembered terms of the materials the bill does not know yet.
    void add(const bom::Entry &entry);
    void remove(QList<int> rows);
    void setTerms(const bom::MaterialKey &key, const bom::Terms &terms);
    // An opened file replaces the bill, its terms included.
    void replace(const bom::Bill &bill);

    // The terms remembered for a material, if any.
    static std::optional<bom::Terms> rememberedTerms(const bom::MaterialKey &key);

signals:
    void entriesChanged();
    void termsChanged();

private:
    void sumEntries();

    bom::Bill m_bill;
    QList<bom::Total> m_sums;
    bom::Totals m_totals;
};
