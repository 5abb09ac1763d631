#pragma once

#include <QWidget>

#include <optional>

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

    // The page's shown result rows as tab-separated caption and value lines, for a spreadsheet.
    QString shownResultsText() const;
    void copyResults() const;

protected:
    QVBoxLayout *column() const { return m_column; }

    // Offers "Копировать результаты" in the context menu of a result area.
    void offerCopy(QWidget *area);
    // The rows a copy takes: by default the shown rows of every result group, in page order.
    virtual QList<std::pair<QString, QString>> shownResults() const;

    // Adds the bottom line: the clear button left of the compute button.
    void addButtons(const QString &clearName, const QString &computeName);
    QPushButton *clearButton() const { return m_clear; }
    QPushButton *computeButton() const { return m_compute; }

    void appendLine(const QString &line);
    void appendRowLines(const ResultRows &rows);
    // The block of the pages that name their work: the work, the condition and the materials.
    void appendComputationBlock(const QString &work, const QString &condition,
                                const QStringList &materialLines);

    // A figure without a published rate shows a dash instead of a number.
    static QString figureText(const std::optional<double> &value);

    // Puts each value label's text and visibility back to a starting state.
    static void resetValues(const ResultRows &rows, const QString &text);
    static void setValuesVisible(const ResultRows &rows, bool visible);

private:
    Journal &m_journal;
    QVBoxLayout *m_column;
    QPushButton *m_clear = nullptr;
    QPushButton *m_compute = nullptr;
};
