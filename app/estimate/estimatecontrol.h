#pragma once

#include "estimatewindow.h"

#include <QObject>
#include <QPointer>

class BillBook;
class EstimateBook;
class NormBase;
class QWidget;

// The bill's local estimate in the running program: its book made when first asked for, priced
// from the program's norm base and read again after an import, and its window.
class EstimateControl : public QObject
{
    Q_OBJECT

public:
    EstimateControl(BillBook &bill, NormBase &base, QWidget &mainWindow, QObject *parent = nullptr);

    void showWindow();
    // Made when first shown.
    EstimateBook *book() const { return m_book; }
    EstimateWindow *window() const { return m_window; }

private:
    BillBook &m_bill;
    NormBase &m_base;
    QWidget &m_mainWindow;
    EstimateBook *m_book = nullptr;
    QPointer<EstimateWindow> m_window;
};
