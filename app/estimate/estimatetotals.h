#pragma once

#include "lsr.h"

#include <QTableWidget>

// The sums of every section and of the estimate, by kind of work: ОТ, ЭМ with the machinists'
// pay within it, М, НР, СП, labour hours and the total.
class EstimateTotals : public QTableWidget
{
    Q_OBJECT

public:
    enum Column
    {
        WhatColumn,
        WorkersColumn,
        MachinesColumn,
        MachinistsColumn,
        MaterialsColumn,
        OverheadColumn,
        ProfitColumn,
        HoursColumn,
        TotalColumn,
        ColumnCount
    };

    explicit EstimateTotals(QWidget *parent = nullptr);
    void show(const lsr::Estimate &estimate);
    // The row of the estimate's «Всего по смете».
    int grandRow() const { return rowCount() - 1; }

private:
    void addRow(const QString &what, const lsr::Summary &summary, double total, bool bold);
    void addTotals(const QString &what, const lsr::Totals &totals);
};
