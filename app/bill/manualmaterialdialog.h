#pragma once

#include "bill.h"

#include <QDialog>

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;

// A material the pages have no rate for, typed in by hand: name, unit, quantity and a note.
// The dialog says at the field what is wrong and takes only what the bill can hold.
class ManualMaterialDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ManualMaterialDialog(QWidget *parent = nullptr);

    // The entry the fields make, once they are right.
    std::optional<bom::Entry> entry(const QDateTime &added) const;

private:
    void check();

    QLineEdit *m_name;
    QComboBox *m_unit;
    QLineEdit *m_quantity;
    QLineEdit *m_note;
    QLabel *m_problem;
    QDialogButtonBox *m_buttons;
};
