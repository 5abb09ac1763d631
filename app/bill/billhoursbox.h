#pragma once

#include <QFrame>

class BillBook;
class BillReadings;
class BillTable;
class QLabel;

// «Затраты труда и машин»: the hours of labour and of machines the norms' entries bring, with
// the machines' prices, and their sums. Shown only while there are hours, as high as its rows
// (up to six), so that the materials keep their room.
class BillHoursBox : public QFrame
{
    Q_OBJECT

public:
    BillHoursBox(BillBook &book, const BillReadings &readings, QWidget *parent);

    BillTable *table() const { return m_hours; }
    // Shows the bill's hours; the catalogue's column only where there is a catalogue.
    void showTotals(bool catalogue);

private:
    BillBook &m_book;
    BillTable *m_hours;
    QLabel *m_labourHours;
    QLabel *m_machinistHours;
    QLabel *m_machineHours;
    QLabel *m_machineMoney;
    QLabel *m_billTotal; // materials and machines
};
