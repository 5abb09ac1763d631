#pragma once

// The main window. The catalogue on the left decides which page of the page set is shown: its
// selection operation (keyboard, mouse, Back and Forward) and its click operation (every mouse
// click) both act by the selected node's place, through one table of places. Everything the
// user does is appended to the journal, which the panel at the bottom shows and the saves
// write out; the clock in the status bar names and stamps those saves. The bill of materials
// takes the current results of a page on request and shows them, summed, in a window of its own.

#include "catalogue.h"

#include <QHash>
#include <QMainWindow>

#include <functional>

class BillControl;
class EstimateControl;
class Clock;
class Journal;
class JournalPanel;
class MasonryPage;
class NormControl;
class QLabel;
class QStackedWidget;
class QTextEdit;

class TForm1 : public QMainWindow
{
    Q_OBJECT

public:
    explicit TForm1(QWidget *parent = nullptr);
    ~TForm1() override;

    Journal &journal() const { return *m_journal; }
    Clock &clock() const { return *m_clock; }
    Catalogue *catalogue() const { return m_widgets.TreeView1; }
    BillControl &bill() const { return *m_bill; }
    NormControl &normControl() const { return *m_norms; }
    EstimateControl &estimateControl() const { return *m_estimate; }
    QStackedWidget *pageSet() const { return m_widgets.PageControl1; }
    QString statusText(int panel) const;

    void FormShow();
    void TreeView1Change();
    void TreeView1Click();
    void ToolButton8Click();
    void ToolButton9Click();
    void ToolButton1Click();
    void ToolButton16Click();
    void ToolButton4Click();
    void ToolButton5Click();
    bool FormClose();
    void printJournal();
    void saveJournalAsPdf();

    // Tests answer the file dialog of the PDF export through this.
    void setPdfPathChooser(std::function<QString()> chooser)
    {
        m_choosePdfPath = std::move(chooser);
    }

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void createActions();
    void createMenus();
    void createToolBar();
    void createCentralArea();
    void createPages();
    void createJournalPanel();
    void createStatusBar();
    void addPage(PageId id, QWidget *page);

    void actOnSelectedPlace();
    void moveBy(int step);
    bool saveJournal(const QString &path);

    Journal *m_journal;
    Clock *m_clock;
    BillControl *m_bill = nullptr;
    NormControl *m_norms = nullptr;
    EstimateControl *m_estimate = nullptr;
    std::function<QString()> m_choosePdfPath;
    int m_lastSelectedPlace = -1;
    bool m_shown = false;

    struct
    {
        QAction *exit = nullptr;
        QAction *home = nullptr;
        QAction *back = nullptr;
        QAction *forward = nullptr;
        QAction *history = nullptr;
        QAction *gost = nullptr;
        QAction *print = nullptr;
        QAction *pdf = nullptr;
    } m_actions;

    struct
    {
        Catalogue *TreeView1 = nullptr;
        QStackedWidget *PageControl1 = nullptr;
        JournalPanel *Memo2 = nullptr;
        QLabel *statusPanel0 = nullptr;
        QLabel *statusPanel1 = nullptr;
        QLabel *Label76 = nullptr;
        MasonryPage *masonry = nullptr;
    } m_widgets;

    QHash<PageId, QWidget *> m_pages;
};
