#pragma once

#include <QWidget>

#include <functional>

class BillBook;
class EntriesModel;
class QLabel;
class QPagedPaintDevice;
class QTableView;
class TotalsModel;

// The bill of materials in a window of its own, beside the main window and not blocking it:
// the entries above, the totals below with the grand total, and the file, export and print
// commands. It follows every change of the bill.
class BillWindow : public QWidget
{
    Q_OBJECT

public:
    enum class FileChoice
    {
        Open,
        Save,
        Xlsx,
        Csv,
        Pdf
    };
    using PathChooser = std::function<QString(FileChoice)>;

    BillWindow(BillBook &book, QWidget *parent = nullptr);

    // Tests answer the file dialogs through this.
    void setPathChooser(PathChooser chooser) { m_choosePath = std::move(chooser); }
    // The date and time texts of the printout's heading.
    void setHeadingTexts(std::function<std::pair<QString, QString>()> texts)
    {
        m_headingTexts = std::move(texts);
    }

    void removeSelectedEntries();
    void openBill();
    void saveBill();
    void exportXlsx();
    void exportCsv();
    void printBill();
    void saveAsPdf();

    QString grandTotalText() const;

private:
    QWidget *createButtons();
    void showGrandTotal();
    void print(QPagedPaintDevice *device);

    BillBook &m_book;
    EntriesModel *m_entriesModel;
    TotalsModel *m_totalsModel;
    QTableView *m_entries;
    QTableView *m_totals;
    QLabel *m_grandTotal;
    PathChooser m_choosePath;
    std::function<std::pair<QString, QString>()> m_headingTexts;
};
