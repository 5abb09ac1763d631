#include "billhoursbox.h"

#include "billbook.h"
#include "billbutton.h"
#include "billmodels.h"
#include "billtable.h"
#include "billtexts.h"
#include "common/codecolumn.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QLabel *sum(const char *name, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

} // namespace

BillHoursBox::BillHoursBox(BillBook &book, const BillReadings &readings, QWidget *parent)
    : QFrame(parent), m_book(book),
      m_hours(
          new BillTable(QStringLiteral("BillHours"), new HoursModel(book, readings, this), this)),
      m_labourHours(sum("BillLabourHours", this)),
      m_machinistHours(sum("BillMachinistHours", this)),
      m_machineHours(sum("BillMachineHours", this)), m_machineMoney(sum("BillMachineMoney", this)),
      m_billTotal(sum("BillTotal", this))
{
    setObjectName(QStringLiteral("BillHoursBox"));
    setFrameShape(QFrame::StyledPanel);
    // The table paints the bill; a machine's price typed into it, the book takes.
    connect(static_cast<HoursModel *>(m_hours->model()), &HoursModel::termsEdited, &book,
            &BillBook::setTerms);
    auto *layout = new QVBoxLayout(this);
    m_hours->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // A machine's price is typed like a material's.
    m_hours->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                             QAbstractItemView::AnyKeyPressed);
    // The name takes the room; the figures stay beside it rather than at the far side.
    const int widths[] = {codecolumn::width(m_hours, codecolumn::kResourceSample), 330, 60, 110};
    for (int column = 0; column < int(std::size(widths)); ++column)
        m_hours->setColumnWidth(column, widths[column]);
    m_hours->horizontalHeader()->setStretchLastSection(false);
    m_hours->horizontalHeader()->setSectionResizeMode(billtexts::HoursName, QHeaderView::Stretch);
    QFont bold = m_billTotal->font();
    bold.setBold(true);
    m_billTotal->setFont(bold);
    auto *sums = new QHBoxLayout;
    sums->addWidget(billCaption(billtexts::hoursCaption(), this));
    sums->addStretch(1);
    for (QLabel *label :
         {m_labourHours, m_machinistHours, m_machineHours, m_machineMoney, m_billTotal}) {
        if (label != m_labourHours)
            sums->addSpacing(24);
        sums->addWidget(label);
    }
    // The caption begins the line of the sums under the table, as the totals' does.
    layout->addWidget(m_hours);
    layout->addLayout(sums);
}

void BillHoursBox::showTotals(bool catalogue)
{
    const bom::Totals &totals = m_book.totals();
    // A bill with machines shows their prices, so that one can be typed.
    const bool machines = billtexts::hasMachines(totals);
    for (int column = billtexts::HoursColumnCount; column < HoursModel::PricedColumnCount; ++column)
        m_hours->setColumnHidden(column, !machines);
    m_hours->setColumnHidden(HoursModel::CatalogueColumn, !catalogue);
    m_machineMoney->setVisible(billtexts::hasMachinePrices(totals));
    m_machineMoney->setText(billtexts::machineMoneyText(totals));
    m_billTotal->setVisible(machines);
    m_billTotal->setText(billtexts::billTotalText(totals));
    // A bill of the pages' figures has no hours.
    setVisible(!totals.hours.isEmpty());
    const int shownRows = int(std::min<qsizetype>(6, std::max<qsizetype>(1, totals.hours.size())));
    m_hours->setFixedHeight(m_hours->horizontalHeader()->sizeHint().height() +
                            shownRows * m_hours->verticalHeader()->defaultSectionSize() +
                            2 * m_hours->frameWidth());
    m_labourHours->setText(billtexts::labourHoursText(totals));
    m_machinistHours->setText(billtexts::machinistHoursText(totals));
    m_machinistHours->setVisible(totals.hasMachinists);
    m_machineHours->setText(billtexts::machineHoursText(totals));
}
