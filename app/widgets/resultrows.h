#pragma once

#include <QGroupBox>
#include <QLabel>

class QGridLayout;

// One result row: a caption naming a material and its unit, and the value label to its right.
struct ResultRow
{
    QLabel *caption;
    QLabel *value;

    // The journal line of the row, made of what both labels show at this moment.
    QString journalLine() const { return caption->text() + QStringLiteral(": ") + value->text(); }
};

struct ResultRowLabels
{
    const char *captionName;
    const char *captionText;
    const char *valueName;
};

// A group box of result rows; the value labels start with the given text, shown or hidden.
class ResultRows : public QGroupBox
{
    Q_OBJECT

public:
    ResultRows(const QString &name, const QString &title, const QList<ResultRowLabels> &rows,
               const QString &initialValue, bool valuesVisible, QWidget *parent = nullptr);

    const ResultRow &row(int index) const { return m_rows.at(index); }
    int count() const { return int(m_rows.size()); }

    QStringList captions() const;
    // Tooltips of each row's caption and value: how its figure is formed.
    void setExplanations(const QStringList &texts);

    // Inserts a plain label (a sub-heading) before the given row.
    void insertNote(int beforeRow, QLabel *note);

private:
    QGridLayout *m_layout;
    QList<ResultRow> m_rows;
};
