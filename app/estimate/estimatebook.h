#pragma once

#include "estimateengine.h"
#include "lsr.h"

#include <QObject>

#include <memory>
#include <optional>

class BillBook;
class NormBase;
class QUndoStack;

// The local estimate of the bill as a document: its terms live in the bill, so that the bill's
// changes mark, its file keeps and its undo takes back every one of them; the estimate is
// computed again at once after each change, undone ones included. Every change the estimator
// makes either goes in as one undo step or is refused with the reason, in Russian.
class EstimateBook : public QObject
{
    Q_OBJECT

public:
    EstimateBook(BillBook &bill, NormBase &base, QObject *parent = nullptr);
    ~EstimateBook() override;

    BillBook &bill() const { return m_bill; }
    EstimateEngine &engine() const { return m_engine; }
    QUndoStack *undoStack() const;
    // The bill's terms, or those of a new estimate until the first change stores them.
    const bom::EstimateTerms &terms() const;
    const lsr::Estimate &estimate() const { return m_estimate; }
    // Why the estimate could not be computed: the base cannot be read, say; empty when it was.
    const QString &failure() const { return m_failure; }
    // The choices kept for entries that now hold another norm, or are gone: not applied.
    QStringList staleChoices() const;

    using Refusal = std::optional<QString>;
    // The head's texts, the territory, the legal acts: the terms as a whole, said as what.
    Refusal setTerms(const QString &what, const bom::EstimateTerms &terms);
    Refusal setPriceList(const norms::StoredPriceList &list);
    // A typed price or index for a resource code, with its basis; none removes it.
    Refusal setPrice(const bom::TypedPrice &price);
    void removePrice(const QString &code);
    // Of a position: keyed by its entry and the norm it holds.
    Refusal setReference(const lsr::Position &position, const QString &overheadReason);
    Refusal addCoefficient(const lsr::Position &position, const bom::Coefficient &coefficient);
    void removeCoefficient(const lsr::Position &position, int index);
    Refusal setDesignChoice(const lsr::Position &position, const bom::DesignChoice &choice);

    // The norm base was replaced underneath: it is read again.
    void baseChanged();

signals:
    // Computed again: the terms, the positions or the gaps may all have changed.
    void estimateChanged();

private:
    void billChanged();
    void recompute(bool reload);
    Refusal change(const QString &what, const bom::EstimateTerms &terms);
    bom::PositionTerms positionOf(const lsr::Position &position) const;
    Refusal changePosition(const QString &what, const bom::PositionTerms &position);

    BillBook &m_bill;
    mutable EstimateEngine m_engine;
    bom::EstimateTerms m_defaults;
    lsr::Estimate m_estimate;
    QString m_failure;
    // What the engine read last was read for: the snapshot is read again when they change.
    std::optional<QList<bom::Entry>> m_loadedEntries;
    bom::PriceListRef m_loadedList;
};
