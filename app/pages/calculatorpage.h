#pragma once

#include "bill.h"
#include "billfigure.h"
#include "resulttext.h"
#include "sourcedrate.h"
#include "vor.h"

#include <QHash>
#include <QWidget>

#include <optional>

class Journal;
class QLabel;
class QPushButton;
class QVBoxLayout;
class ResultRows;
struct ResultRow;

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

    // A figure as a bill of materials takes it: what it is (name, unit, kind, source) and the
    // value it was written from, none for a row shown as "—".
    struct Figure
    {
        calc::BillFigure what;
        std::optional<double> value;
    };
    struct Results
    {
        QString variant; // the chosen item of the page's list, if it has one
        QString inputs;  // the fields as typed, with their captions
        QList<Figure> figures;
        // The work's amount and its arithmetic, and each figure's by formulaKey(), with a point,
        // where the page gives them.
        bom::Volume volume;
        QHash<QString, QString> formulas;
    };
    // The results of the last computation while they stand as it left them; otherwise none, and
    // why: nothing computed yet, results hidden or cleared, or inputs changed since.
    std::optional<Results> currentResults(QString *whyNot) const;
    // The bill's entry of the current results, its work named by the page's node in the
    // catalogue and the chosen variant; none, and why, while there are none to take.
    std::optional<bom::Entry> billEntry(const QString &node, QString *whyNot) const;
    // A figure's formula is found by its name and the mixture it goes into: a page may have one
    // material twice, by itself and in a mixture.
    static QString formulaKey(const calc::BillFigure &figure)
    {
        return figure.name + u'\x1f' + figure.partOf;
    }

signals:
    void addToBillRequested();

protected:
    QVBoxLayout *column() const { return m_column; }

    // Offers "Копировать результаты" and "Добавить в ведомость" in the context menu of a result
    // area.
    void offerCopy(QWidget *area);
    // The rows a copy takes: by default the shown rows of every result group, in page order.
    virtual QList<std::pair<QString, QString>> shownResults() const;

    // Adds the bottom line: the clear button left of the compute button.
    void addButtons(const QString &clearName, const QString &computeName);
    // Makes Tab go through the page's widgets in this order; a variant list is one stop.
    void setTabChain(const QList<QWidget *> &stops);
    QPushButton *clearButton() const { return m_clear; }
    QPushButton *computeButton() const { return m_compute; }

    void appendLine(const QString &line);
    void appendRowLines(const ResultRows &rows);
    // The block of the pages that name their work: the work, the condition and the materials.
    void appendComputationBlock(const QString &work, const QString &condition,
                                const QStringList &materialLines);

    // Puts each value label's text and visibility back to a starting state.
    static void resetValues(const ResultRows &rows, const QString &text);
    static void setValuesVisible(const ResultRows &rows, bool visible);

    // Writes a row's value from its figure ("—" for none), followed by the unit when one is
    // given, and keeps the figure, which holds more digits than the text shows, with what the
    // row is, for the bill.
    void showFigure(const ResultRow &row, const calc::BillFigure &what,
                    const std::optional<double> &value,
                    calc::ResultFormat format = calc::kFormat4x3, const QString &unit = QString());
    // The work's amount and each figure's arithmetic (by formulaKey()) of the computation
    // just shown, for a bill of quantities.
    void keepVolume(const bom::Volume &volume, const QHash<QString, QString> &formulas);
    // The same for a page whose rows are rated per unit of the work: each row with a rate is the
    // work's arithmetic × its rate; formulas holds those of the rows formed otherwise.
    void keepRatedVolume(const bom::Volume &volume,
                         const QList<std::pair<calc::BillFigure, const calc::SourcedRate *>> &rows,
                         QHash<QString, QString> formulas = {});
    // Keeps the figures behind a label that the page writes in its own words.
    void keepFigures(QLabel *label, const QList<Figure> &figures);

private:
    struct Kept
    {
        QString text;
        QList<Figure> figures;
        quint64 written;
    };
    QStringList inputState() const;
    QString inputsText() const;
    QString variantText() const;

    QHash<const QLabel *, Kept> m_kept;
    bom::Volume m_volume;
    QHash<QString, QString> m_formulas;
    quint64 m_writes = 0;
    // The moment of the last press of the compute button, and the inputs it met.
    std::optional<quint64> m_computedAt;
    QStringList m_inputsAtCompute;

    Journal &m_journal;
    QVBoxLayout *m_column;
    QPushButton *m_clear = nullptr;
    QPushButton *m_compute = nullptr;
};
