#pragma once

#include "vorfile.h"

#include <QGroupBox>

#include <functional>

class BillBook;
class BillFiles;
class QComboBox;
class QLineEdit;
class QListWidget;
class QTableView;
class QTableWidget;

// What the bill window adds for a bill of quantities for expertise: the head's fields of the
// format, the sections and the design documents, and the export and the reading of «.gge».
class VorPanel : public QGroupBox
{
    Q_OBJECT

public:
    VorPanel(BillBook &book, BillFiles &files, QWidget *parent = nullptr);
    ~VorPanel() override;

    // The rows of the entries' table chosen now, and the current one, for moving to a section
    // and for the editor of references.
    void setSelectedEntries(std::function<QList<int>()> rows) { m_selectedRows = std::move(rows); }
    // The entries' table of the window and the head's fields (object, customer, address,
    // compiled by, checked by): their choice is the panel's, and a gap selects its cell there.
    void attachEntries(QTableView *entries, const QList<QLineEdit *> &headFields);

    void exportVor();
    void openVor();
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

    // Opens a bill (.merilon-bom) or a bill of quantities (.gge) into the book, asking first
    // about unsaved changes; false when it did not.
    static bool openPath(BillBook &book, BillFiles &files, const QString &path,
                         bool askedAlready = false);

signals:
    // The panel is folded away and has a field to show: the window unfolds it.
    void revealRequested();
    // The first gap of a refused export, for the window to select its cell.
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
