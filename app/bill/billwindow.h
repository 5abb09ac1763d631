#pragma once

#include "billfiles.h"

#include <QKeySequence>
#include <QWidget>

#include <functional>

class BillBook;
class BillHeadForm;
class BillHoursBox;
class BillPriceBar;
class BillReadings;
class BillTable;
class EntriesModel;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QSplitter;
class QTabWidget;
class QToolButton;
class TotalsModel;
class VorPanel;

// The bill of materials in a window of its own, beside the main window and not blocking it. It
// composes what each part does: the commands on the bill's files and its exports (all done by
// BillFiles), the head and the bill of quantities' fields on tabs over the tables, the entries,
// the totals with the prices' bar and the grand total, and the hours of the norms' entries. Its
// title names the bill's file and marks changes not saved; closing it keeps the bill. At first it
// is sized for ten entries and ten totals within the screen, later as the user left it.
class BillWindow : public QWidget
{
    Q_OBJECT

public:
    using FileChoice = BillFiles::FileChoice;
    using PathChooser = BillFiles::PathChooser;

    BillWindow(BillBook &book, BillReadings &readings, BillFiles &files, QWidget *parent = nullptr);
    ~BillWindow() override;

    // Tests answer the file dialogs through this.
    void setPathChooser(PathChooser chooser) { m_files.setPathChooser(std::move(chooser)); }
    // The date and time texts of the printout's heading.
    void setHeadingTexts(BillFiles::HeadingTexts texts)
    {
        m_files.setHeadingTexts(std::move(texts));
    }
    // Tests make the moment a material typed in by hand is added.
    void setClock(std::function<QDateTime()> now) { m_now = std::move(now); }

    void openBill() { m_files.openBill(); }
    void saveBill() { m_files.save(); }
    void saveBillAs() { m_files.saveAs(); }
    void newBill() { m_files.newBill(); }
    void removeSelectedEntries();
    void addManualMaterial();
    VorPanel *vorPanel() const { return m_vor; }

    QString grandTotalText() const;

signals:
    // «Смета (ЛСР)...»: the estimate's window is the program's to open.
    void estimateRequested();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // The size of a window opened for the first time: ten entries and ten totals, within the
    // screen.
    QSize firstSize() const;
    // The room a window has on its screen.
    QSize screenRoom() const;
    // Size, place, the split between entries and totals, and column widths, as the user left
    // them, in the program's settings.
    void restoreLayout();
    void saveLayout() const;
    // A command on the bill's files: a button, and its key when it has one.
    struct Command
    {
        const char *name;
        const char *caption;
        std::function<void()> operation;
        QKeySequence shortcut;
    };
    QPushButton *commandButton(const Command &command, QWidget *bar);
    QWidget *createCommands();
    // The bill written out in other forms (workbook, text, paper, PDF): a group of its own on the
    // line of the commands, where a new export takes its place.
    QWidget *createExports(QWidget *parent);
    QWidget *createSheets();
    QWidget *createEntryButtons();
    QWidget *createEntries(QWidget *parent);
    QWidget *createTotals(QWidget *parent);
    void showTotals();
    // Puts into the bill what the fields and an open cell show and the bill does not have yet: a
    // command given by its key leaves the focus, and the text, where they are. False while the
    // date shown cannot be read.
    bool takePendingEdits();
    // Takes what is being typed; false, with the reason, while the date shown cannot be read:
    // nothing is then printed or saved with another date.
    bool dateTaken();
    void showDocument();
    void showVorPanel(bool shown);
    // The user's unfolding or folding.
    void unfoldVorPanel(bool shown);

    BillBook &m_book;
    BillReadings &m_readings;
    BillFiles &m_files;
    EntriesModel *m_entriesModel;
    TotalsModel *m_totalsModel;
    QSplitter *m_splitter = nullptr;
    BillTable *m_entries = nullptr;
    BillTable *m_totals = nullptr;
    QLabel *m_grandTotal = nullptr;
    QLabel *m_unrated = nullptr;
    BillHoursBox *m_hours = nullptr;
    BillPriceBar *m_prices = nullptr;
    QTabWidget *m_sheets = nullptr; // the head, and the bill of quantities' fields when unfolded
    BillHeadForm *m_head = nullptr;
    VorPanel *m_vor = nullptr;
    QToolButton *m_vorToggle = nullptr;
    mutable QList<int> m_firstSplit; // the entries' and totals' boxes at their first size
    std::function<QDateTime()> m_now;
};
