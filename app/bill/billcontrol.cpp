#include "billcontrol.h"

#include "billbook.h"
#include "billwindow.h"
#include "pages/calculatorpage.h"

#include <QAction>
#include <QMainWindow>
#include <QStatusBar>

namespace {

constexpr int kMessageMs = 10000;

} // namespace

BillControl::BillControl(QMainWindow &window, std::function<QWidget *()> currentPage,
                         WorkNamer workOf)
    : QObject(&window), m_mainWindow(window), m_currentPage(std::move(currentPage)),
      m_workOf(std::move(workOf)), m_now([] { return QDateTime::currentDateTime(); }),
      m_book(new BillBook(this))
{
    m_add = new QAction(QStringLiteral("Добавить в ведомость"), this);
    m_add->setObjectName(QStringLiteral("AddToBill"));
    m_add->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    connect(m_add, &QAction::triggered, this, &BillControl::addCurrentResults);
    m_show = new QAction(QStringLiteral("Ведомость материалов..."), this);
    m_show->setObjectName(QStringLiteral("ShowBill"));
    m_show->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_B));
    connect(m_show, &QAction::triggered, this, &BillControl::showBill);
    // The shortcuts work wherever the focus is in the main window.
    window.addAction(m_add);
    window.addAction(m_show);
}

BillControl::~BillControl()
{
    delete m_window;
}

void BillControl::watch(CalculatorPage *page)
{
    connect(page, &CalculatorPage::addToBillRequested, this, [this, page] { addResultsOf(page); });
}

void BillControl::say(const QString &message)
{
    m_mainWindow.statusBar()->showMessage(message, kMessageMs);
}

void BillControl::addCurrentResults()
{
    auto *page = qobject_cast<CalculatorPage *>(m_currentPage());
    if (!page) {
        say(QStringLiteral("Не добавлено в ведомость: откройте страницу расчета и выполните "
                           "расчет."));
        return;
    }
    addResultsOf(page);
}

void BillControl::addResultsOf(CalculatorPage *page)
{
    QString whyNot;
    const std::optional<CalculatorPage::Results> results = page->currentResults(&whyNot);
    if (!results) {
        say(QStringLiteral("Не добавлено в ведомость: ") + whyNot + u'.');
        return;
    }
    QStringList work;
    if (const QString node = m_workOf(page); !node.isEmpty())
        work.append(node);
    if (!results->variant.isEmpty())
        work.append(results->variant);
    bom::Entry entry{m_now(), work.join(QStringLiteral(": ")), results->inputs, {}};
    for (const CalculatorPage::Figure &figure : results->figures)
        entry.materials.append(bom::material(
            figure.what.name, figure.what.unit, figure.value,
            figure.what.kind == calc::FigureKind::WorkVolume  ? bom::MaterialKind::WorkVolume
            : figure.what.kind == calc::FigureKind::Composite ? bom::MaterialKind::Composite
                                                              : bom::MaterialKind::Buy,
            figure.what.partOf, figure.what.source));
    m_book->add(entry);
    say(QStringLiteral("Добавлено в ведомость: %1 (материалов: %2, записей в ведомости: %3).")
            .arg(entry.work)
            .arg(entry.materials.size())
            .arg(m_book->bill().entries.size()));
}

void BillControl::showBill()
{
    if (!m_window)
        m_window = new BillWindow(*m_book, &m_mainWindow);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void BillControl::closeWindow()
{
    if (m_window)
        m_window->close();
}
