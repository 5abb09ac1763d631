#pragma once

#include <QWidget>

class BillBook;
class QLabel;
class QLineEdit;

// The head of the bill: the object, its customer and address, who compiled and who checked it,
// and the date. A field's text is taken when it is left, or before a command on the bill's
// files; a date that cannot be read stays in its field, marked with the reason, and the bill
// keeps its own.
class BillHeadForm : public QWidget
{
    Q_OBJECT

public:
    // The reason a date is refused lies over what is below the head: it belongs to window.
    BillHeadForm(BillBook &book, QWidget *window);
    ~BillHeadForm() override;

    // Puts what the fields show into the bill's head; false while the date shown cannot be read.
    bool take();
    QString dateText() const;
    // The field of the head's member named as the bill's head names it («object», «compiledBy»,
    // «date»...) takes the focus; revealRequested first, so that a folded form shows it.
    void focusField(const QString &name);

signals:
    void revealRequested();

private:
    void showHead();
    // Marks the date field with the reason its text was refused, or clears the mark.
    void markDate(const QString &reason);

    BillBook &m_book;
    QWidget *m_window;
    QList<QLineEdit *> m_fields; // the head's texts, in the order of its captions
    QLineEdit *m_date;
    QLabel *m_dateProblem;
};
