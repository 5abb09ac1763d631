#pragma once

#include "bill.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QTableWidget;

// The small editor of an entry's basis for a bill of quantities: the references of the work to
// pages of the design documents, and for each of its materials the formula of its amount, its
// type and references of its own (none: the work's).
class VorEntryDialog : public QDialog
{
    Q_OBJECT

public:
    VorEntryDialog(const bom::Bill &bill, int row, QWidget *parent = nullptr);

    // The entry as the dialog leaves it.
    bom::Entry entry() const;

private:
    // A line: the work (material -1) or one of its materials.
    struct Line
    {
        int material = -1;
        QList<bom::Link> links;
        QString formula;
        int type = 0; // index into bom::resourceTypes()
    };
    void showLine(int index);
    void takeLine();
    void addLink();
    void removeLink();
    void done(int result) override;

    bom::Entry m_entry;
    QList<bom::Document> m_documents;
    QList<Line> m_lines;
    int m_shown = -1;
    QComboBox *m_line;
    QTableWidget *m_links;
    QCheckBox *m_sameLinks;
    QLineEdit *m_formula;
    QComboBox *m_type;
};
