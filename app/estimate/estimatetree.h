#pragma once

#include "lsr.h"

#include <QSet>
#include <QTreeWidget>

// The estimate's positions by section: a position opens into its resource lines, its overhead,
// profit and total; every figure says in its tooltip how it was made.
class EstimateTree : public QTreeWidget
{
    Q_OBJECT

public:
    // What a row of the tree is.
    struct Place
    {
        enum class Kind
        {
            None,
            Section,
            Position,
            Line,
            Charge, // the position's overhead, profit or total
        };
        Kind kind = Kind::None;
        int section = -1;
        int position = -1;
        int line = -1;
    };

    enum Column
    {
        NumColumn,
        CodeColumn,
        NameColumn,
        UnitColumn,
        PerUnitColumn,
        CoefficientColumn,
        QuantityColumn,
        BasePriceColumn,
        IndexColumn,
        PriceColumn,
        CostColumn,
        SourceColumn,
        ColumnCount
    };

    explicit EstimateTree(QWidget *parent = nullptr);

    // Shows the estimate, keeping the rows opened and the row chosen where they still are.
    void show(const lsr::Estimate &estimate);
    Place place(const QTreeWidgetItem *item) const;
    Place currentPlace() const { return place(currentItem()); }
    // Makes the row of that place current and brings it into sight.
    void select(int section, int position, int line);

private:
    QTreeWidgetItem *itemAt(int section, int position, int line) const;
    void addPosition(QTreeWidgetItem *parent, const lsr::Position &position, int section,
                     int index);

    QSet<QPair<int, int>> m_opened; // positions opened by the user
};
