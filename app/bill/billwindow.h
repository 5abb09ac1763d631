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
class QLineEdit;
class QPagedPaintDevice;
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

    QString grandTotalText() const;

private:
    QWidget *createButtons();
    QWidget *createHead();
    QWidget *createEntryButtons();
    QGroupBox *createHours(QWidget *parent);
    void createActions();
    void showTotals();
    void showHead();
    void takeHead();
    void showDocument();
    QString exportPath(FileChoice choice, const char *suffix);

    BillBook &m_book;
    BillFiles &m_files;
    EntriesModel *m_entriesModel;
    TotalsModel *m_totalsModel;
    HoursModel *m_hoursModel;
    BillTable *m_entries = nullptr;
    BillTable *m_totals = nullptr;
    QLabel *m_grandTotal = nullptr;
    QLabel *m_unrated = nullptr;
    QGroupBox *m_hoursBox = nullptr;
    BillTable *m_hours = nullptr;
    QLabel *m_labourHours = nullptr;
    QLabel *m_machineHours = nullptr;
    QList<QLineEdit *> m_headFields;
    QLineEdit *m_date = nullptr;
    VorPanel *m_vor = nullptr;
    std::function<std::pair<QString, QString>()> m_headingTexts;
    std::function<QDateTime()> m_now;
};
