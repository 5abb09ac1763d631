#pragma once

#include "vorfile.h"

#include <QWidget>

#include <functional>

class BillBook;
class BillFiles;
class BillHeadForm;
class QComboBox;
class QLineEdit;
class QListWidget;
class QTableView;
class QTableWidget;

// What the bill window adds for a bill of quantities for expertise: the head's fields of the
// format, the sections and the design documents, and the buttons that export and read «.gge»
// through the bill's files.
class VorPanel : public QWidget
{
    Q_OBJECT

public:
    VorPanel(BillBook &book, BillFiles &files, QWidget *parent = nullptr);
    ~VorPanel() override;

    // The rows of the entries' table chosen now, and the current one, for moving to a section
    // and for the editor of references.
    void setSelectedEntries(std::function<QList<int>()> rows) { m_selectedRows = std::move(rows); }
    // The entries' table of the window and the head's form: their choice is the panel's, and a
    // gap of a refused export selects its cell or field there.
    void attachEntries(QTableView *entries, BillHeadForm *head);

    void editEntryBasis();
    void addSection();
    void removeSection();
    void moveSection(int step);
    void moveEntriesToSection();
    void addDocument();
    void removeDocument();
    // The head's fields as they are typed; a field that has the focus gives its text only when it
    // is left, and a file command may come before that.
    void takeHead();

signals:
    // The panel is folded away and has a field to show: the window unfolds it.
    void revealRequested();
    // A gap of a refused export outside the panel, for the window to select its cell.
    void gapFound(const vorfile::Gap &gap);

private:
    void showBill();
    void renameSection(int row, const QString &name);
    void takeDocument(int row, int column);
    void selectGap(const vorfile::Gap &gap);

    BillBook &m_book;
    BillFiles &m_files;
    std::function<QList<int>()> m_selectedRows;
    QLineEdit *m_site;
    QLineEdit *m_reason;
    QLineEdit *m_number;
    QLineEdit *m_compiledPosition;
    QLineEdit *m_checkedPosition;
    QComboBox *m_access;
    QListWidget *m_sections;
    QTableWidget *m_documents;
    bool m_showing = false;
};
