#pragma once

#include "bill.h"
#include "billwindow.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>

#include <functional>
#include <optional>

class BillBook;
class BillFiles;
class BillNotice;
class BillReadings;
class BillRecovery;
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
    // The bill's entry of a page's current results; none, and why, when it has none to give.
    using EntryMaker = std::function<std::optional<bom::Entry>(QWidget *page, QString *whyNot)>;

    BillControl(QMainWindow &window, std::function<QWidget *()> currentPage, EntryMaker entryOf);
    ~BillControl() override;

    QAction *addAction() const { return m_add; }
    QAction *showAction() const { return m_show; }
    BillBook &book() const { return *m_book; }
    BillReadings &readings() const { return *m_readings; }
    BillFiles &files() const { return *m_files; }
    BillRecovery &recovery() const { return *m_recovery; }
    BillNotice &notice() const { return *m_notice; }
    // Made when first shown.
    BillWindow *window() const { return m_window; }

    // Tests set the moment an entry is added.
    void setClock(std::function<QDateTime()> now) { m_now = std::move(now); }

    void addCurrentResults();
    void addResultsOf(QWidget *page);
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
    EntryMaker m_entryOf;
    std::function<QDateTime()> m_now;
    BillBook *m_book;
    BillReadings *m_readings;
    BillFiles *m_files;
    BillRecovery *m_recovery;
    BillNotice *m_notice;
    // A child of the main window, like this; it goes first, while the bill it shows lives.
    QPointer<BillWindow> m_window;
    QAction *m_add;
    QAction *m_show;
};
