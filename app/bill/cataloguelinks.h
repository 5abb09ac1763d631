#pragma once

#include <QObject>

class BillBook;
class BillReadings;
class QAction;
class QTableView;

// «Связать с ресурсом ФСБЦ...» and «Отвязать» in the context menu of the totals, for their
// current row: a material of the pages, which has no code, is linked to a catalogue resource.
class CatalogueLinks : public QObject
{
    Q_OBJECT

public:
    CatalogueLinks(BillBook &book, BillReadings &readings, QTableView *totals);

    void linkCurrentMaterial();
    void unlinkCurrentMaterial();

private:
    void updateActions();

    BillBook &m_book;
    BillReadings &m_readings;
    QTableView *m_totals;
    QAction *m_link;
    QAction *m_unlink;
};
