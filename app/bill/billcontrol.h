#pragma once

#include "bill.h"
#include "billwindow.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>

#include <functional>

class BillBook;
class BillFiles;
class BillNotice;
class BillRecovery;
class CalculatorPage;
class QAction;
class QMainWindow;

// Connects the pages to the bill: «Добавить в ведомость» takes the current results of the page
// shown (or of the page whose result area was asked), and «Ведомость материалов...» shows the
// bill's window. Every add is confirmed, or its refusal explained, in a notice over the main
// window. The bill is kept for recovery while it holds unsaved changes, and the program asks
// before it quits with them.
class BillControl : public QObject
{
    Q_OBJECT

public:
    // The catalogue node that shows a page, as the entry's work; empty when none does.
    using WorkNamer = std::function<QString(const QWidget *page)>;

    BillControl(QMainWindow &window, std::function<QWidget *()> currentPage, WorkNamer workOf);
    ~BillControl() override;

    QAction *addAction() const { return m_add; }
    QAction *showAction() const { return m_show; }
    BillBook &book() const { return *m_book; }
    BillFiles &files() const { return *m_files; }
    BillRecovery &recovery() const { return *m_recovery; }
    BillNotice &notice() const { return *m_notice; }
    // Made when first shown.
    BillWindow *window() const { return m_window; }

    void watch(CalculatorPage *page);
    // Tests set the moment an entry is added.
    void setClock(std::function<QDateTime()> now) { m_now = std::move(now); }

    void addCurrentResults();
    void addResultsOf(CalculatorPage *page);
    // Adds a computation made elsewhere (a norm's, say) as one entry: asks first when it repeats
    // the last entry, and says in the notice what was added, both over the window it came from
    // (the main window when none is given). An entry without its moment is added now.
    void addEntry(const bom::Entry &entry, QWidget *from = nullptr);
    void showBill();
    // A bill file or a bill of quantities (.gge) given to the program: shown in the bill window.
    void openFile(const QString &path);
    // Before the program quits: false when the user keeps it running.
    bool mayQuit();
    void closeWindow();
    // Offers back a bill that a crash left behind, if there is one.
    void offerRecovery();

signals:
    // «Смета (ЛСР)...» in the bill's window.
    void estimateRequested();

private:
    void say(const QString &message, QWidget *host);
    void refuse(const QString &reason, QWidget *host = nullptr);

    QMainWindow &m_mainWindow;
    std::function<QWidget *()> m_currentPage;
    WorkNamer m_workOf;
    std::function<QDateTime()> m_now;
    BillBook *m_book;
    BillFiles *m_files;
    BillRecovery *m_recovery;
    BillNotice *m_notice;
    // A child of the main window, like this; it goes first, while the bill it shows lives.
    QPointer<BillWindow> m_window;
    QAction *m_add;
    QAction *m_show;
};
