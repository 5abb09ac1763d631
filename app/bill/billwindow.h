#pragma once

#include "billfiles.h"

#include <QWidget>

#include <functional>

class BillBook;
class BillTable;
class EntriesModel;
class HoursModel;
class QGroupBox;
class QLabel;
class QToolButton;
class QLineEdit;
class QPagedPaintDevice;
class QSplitter;
class TotalsModel;
class VorPanel;

// The bill of materials in a window of its own, beside the main window and not blocking it:
// the file commands, the head of the document, the entries, and the totals with the grand
// total. Its title names the bill's file and marks changes not saved; closing it keeps the bill.
class BillWindow : public QWidget
{
    Q_OBJECT

public:
    using FileChoice = BillFiles::FileChoice;
    using PathChooser = BillFiles::PathChooser;

    BillWindow(BillBook &book, BillFiles &files, QWidget *parent = nullptr);
    ~BillWindow() override;

    // Tests answer the file dialogs through this.
    void setPathChooser(PathChooser chooser) { m_files.setPathChooser(std::move(chooser)); }
    // The date and time texts of the printout's heading.
    void setHeadingTexts(std::function<std::pair<QString, QString>()> texts)
    {
        m_headingTexts = std::move(texts);
    }
    // Tests make the moment a material typed in by hand is added.
    void setClock(std::function<QDateTime()> now) { m_now = std::move(now); }

    void removeSelectedEntries();
    void addManualMaterial();
    void openBill() { m_files.openBill(); }
    void saveBill() { m_files.save(); }
    void saveBillAs() { m_files.saveAs(); }
    void newBill() { m_files.newBill(); }
    void exportXlsx();
    VorPanel *vorPanel() const { return m_vor; }
    void exportCsv();
    void printBill();
    void saveAsPdf();
    // «Смета (ЛСР)...»: the estimate's window is the program's to open.
    void openEstimate() { emit estimateRequested(); }

    QString grandTotalText() const;

    // «Цены из ФСБЦ».
    void fillCataloguePrices();
    // «Связать с ресурсом ФСБЦ...» and «Отвязать» for the current row of the totals.
    void linkCurrentMaterial();
    void unlinkCurrentMaterial();

signals:
    void estimateRequested();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // The size of a window opened for the first time: ten entries and ten totals, within the
    // screen.
    QSize firstSize() const;
    // Size, place, the split between entries and totals, and column widths, as the user left
    // them, in the program's settings.
    void restoreLayout();
    void saveLayout() const;
    QWidget *createButtons();
    QWidget *createHead();
    QWidget *createEntryButtons();
    QGroupBox *createHours(QWidget *parent);
    QWidget *createPrices(QWidget *parent);
    void showPriceIndex();
    // Takes the index typed into its field; none when taken, otherwise the reason to show (empty
    // when the user declined a large one).
    std::optional<QString> takePriceIndex();
    void updateLinkActions();
    void createActions();
    void showTotals();
    void showHead();
    void takeHead();
    // Marks the date field with the reason its text was refused, or clears the mark.
    void markDate(const QString &reason);
    // Puts into the bill what the fields and an open cell show and the bill does not have yet: a
    // command given by its key leaves the focus, and the text, where they are. False while the
    // date shown cannot be read.
    bool takePendingEdits();
    // Takes what is being typed; false, with the reason, while the date shown cannot be read:
    // nothing is then printed or saved with another date.
    bool dateTaken();
    void showDocument();
    void showVorPanel(bool shown);
    QString exportPath(FileChoice choice, const char *suffix);

    BillBook &m_book;
    BillFiles &m_files;
    EntriesModel *m_entriesModel;
    TotalsModel *m_totalsModel;
    HoursModel *m_hoursModel;
    QSplitter *m_splitter = nullptr;
    BillTable *m_entries = nullptr;
    BillTable *m_totals = nullptr;
    QLabel *m_grandTotal = nullptr;
    QLabel *m_unrated = nullptr;
    QGroupBox *m_hoursBox = nullptr;
    BillTable *m_hours = nullptr;
    QLabel *m_labourHours = nullptr;
    QLabel *m_machinistHours = nullptr;
    QLabel *m_machineHours = nullptr;
    QLabel *m_machineMoney = nullptr;
    QLabel *m_billTotal = nullptr; // materials and machines
    QLineEdit *m_priceIndex = nullptr;
    bool m_askingIndex = false; // a question about the index is open
    QAction *m_link = nullptr;
    QAction *m_unlink = nullptr;
    QList<QLineEdit *> m_headFields;
    QLineEdit *m_date = nullptr;
    QLabel *m_dateProblem = nullptr;
    VorPanel *m_vor = nullptr;
    QToolButton *m_vorToggle = nullptr;
    mutable QList<int> m_firstSplit; // the entries' and totals' boxes at their first size
    std::function<std::pair<QString, QString>()> m_headingTexts;
    std::function<QDateTime()> m_now;
};
