#include "estimatetotals.h"

#include "estimatetexts.h"

#include <QHeaderView>

EstimateTotals::EstimateTotals(QWidget *parent) : QTableWidget(parent)
{
    setObjectName(QStringLiteral("EstimateTotals"));
    setAccessibleName(QStringLiteral("Итоги сметы"));
    setColumnCount(ColumnCount);
    setHorizontalHeaderLabels({QStringLiteral("Итоги"), QStringLiteral("ОТ"), QStringLiteral("ЭМ"),
                               QStringLiteral("в т.ч. ОТм"), QStringLiteral("М"),
                               QStringLiteral("НР"), QStringLiteral("СП"), QStringLiteral("Чел.-ч"),
                               QStringLiteral("Всего")});
    horizontalHeaderItem(WorkersColumn)->setToolTip(QStringLiteral("Оплата труда рабочих"));
    horizontalHeaderItem(MachinesColumn)
        ->setToolTip(QStringLiteral("Эксплуатация машин с оплатой труда машинистов"));
    horizontalHeaderItem(MachinistsColumn)
        ->setToolTip(QStringLiteral("Оплата труда машинистов, в составе ЭМ"));
    horizontalHeaderItem(HoursColumn)
        ->setToolTip(QStringLiteral("Затраты труда рабочих и машинистов"));
    verticalHeader()->hide();
    horizontalHeader()->setStretchLastSection(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setColumnWidth(WhatColumn, 210);
    for (int column = WorkersColumn; column < ColumnCount; ++column)
        setColumnWidth(column, column == HoursColumn ? 64 : column == TotalColumn ? 100 : 88);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
}

void EstimateTotals::addRow(const QString &what, const lsr::Summary &summary, double total,
                            bool bold)
{
    const int row = rowCount();
    insertRow(row);
    const auto put = [&](int column, const QString &text, const QString &tip = {}) {
        auto *item = new QTableWidgetItem(text);
        if (column != WhatColumn)
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        item->setToolTip(tip.isEmpty() ? text : tip);
        QFont font = item->font();
        font.setBold(bold);
        item->setFont(font);
        setItem(row, column, item);
    };
    put(WhatColumn, what);
    put(WorkersColumn, estimatetexts::money(summary.workers));
    put(MachinesColumn, estimatetexts::money(summary.machines));
    put(MachinistsColumn, estimatetexts::money(summary.machinists));
    put(MaterialsColumn, estimatetexts::money(summary.materials));
    put(OverheadColumn, estimatetexts::money(summary.overhead));
    put(ProfitColumn, estimatetexts::money(summary.profit));
    put(HoursColumn, estimatetexts::quantity(summary.labourHours + summary.machinistHours),
        QStringLiteral("Рабочих %1 чел.-ч, машинистов %2 чел.-ч")
            .arg(estimatetexts::quantity(summary.labourHours),
                 estimatetexts::quantity(summary.machinistHours)));
    put(TotalColumn, estimatetexts::money(total),
        QStringLiteral("Прямые затраты %1 (ОТ + ЭМ + М) + НР %2 + СП %3")
            .arg(estimatetexts::money(summary.direct), estimatetexts::money(summary.overhead),
                 estimatetexts::money(summary.profit)));
}

void EstimateTotals::addTotals(const QString &what, const lsr::Totals &totals)
{
    const std::pair<lsr::WorkKind, const lsr::Summary *> kinds[] = {
        {lsr::WorkKind::Building, &totals.building},
        {lsr::WorkKind::Mounting, &totals.mounting},
        {lsr::WorkKind::Other, &totals.other}};
    for (const auto &[kind, summary] : kinds)
        if (summary->any)
            addRow(QStringLiteral("  %1").arg(estimatetexts::kindName(kind)), *summary,
                   summary->price, false);
    addRow(what, totals.all, totals.total, true);
}

void EstimateTotals::show(const lsr::Estimate &estimate)
{
    setRowCount(0);
    for (const lsr::Section &section : estimate.sections)
        addTotals(QStringLiteral("Итого по разделу %1 «%2»").arg(section.code).arg(section.name),
                  section.totals);
    addTotals(QStringLiteral("Всего по смете"), estimate.totals);
}
