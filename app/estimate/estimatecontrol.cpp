#include "estimatecontrol.h"

#include "common/closingkeys.h"
#include "estimatebook.h"
#include "estimatewindow.h"
#include "norms/normbase.h"

EstimateControl::EstimateControl(BillBook &bill, NormBase &base, QWidget &mainWindow,
                                 QObject *parent)
    : QObject(parent), m_bill(bill), m_base(base), m_mainWindow(mainWindow)
{
}

void EstimateControl::showWindow()
{
    if (!m_book) {
        m_book = new EstimateBook(m_bill, m_base, this);
        connect(&m_base, &NormBase::changed, m_book, &EstimateBook::baseChanged);
    }
    if (!m_window) {
        m_window = new EstimateWindow(*m_book, &m_mainWindow);
        addQuittingKey(m_window, &m_mainWindow);
    }
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}
