#pragma once

#include <QWidget>

class Journal;
class QPushButton;
class QVBoxLayout;
class ResultRows;

// The common ground of the calculator pages: a column of groups, the clear and compute buttons
// on the bottom line, and the journal that their operations append to.
class CalculatorPage : public QWidget
{
    Q_OBJECT

public:
    CalculatorPage(const QString &name, Journal &journal, QWidget *parent = nullptr);

protected:
    QVBoxLayout *column() const { return m_column; }

    // Adds the bottom line: the clear button left of the compute button.
    void addButtons(const QString &clearName, const QString &computeName);
    QPushButton *clearButton() const { return m_clear; }
    QPushButton *computeButton() const { return m_compute; }

    void appendLine(const QString &line);
    void appendRowLines(const ResultRows &rows);

private:
    Journal &m_journal;
    QVBoxLayout *m_column;
    QPushButton *m_clear = nullptr;
    QPushButton *m_compute = nullptr;
};
