#pragma once

#include "totals.h"

#include <QObject>

#include <optional>

class QUndoStack;
namespace norms {
struct CatalogueResource;
}

// The bill of the running program as a document: its entries, terms and head, the totals kept
// in step with them, the file it belongs to and whether it holds changes not saved there.
// Every change goes through the undo stack, so that Ctrl+Z takes back any of them. What the bill
// reads of the norm base is kept apart (BillReadings), and so is what it remembers between runs
// (billmemory).
class BillBook : public QObject
{
    Q_OBJECT

public:
    explicit BillBook(QObject *parent = nullptr);

    const bom::Bill &bill() const { return m_bill; }
    const bom::Totals &totals() const { return m_totals; }
    QUndoStack *undoStack() const { return m_undo; }

    // The file the bill was opened from or last saved to; empty for a new bill.
    QString path() const { return m_path; }
    bool isModified() const;
    // "ведомость.merilon-bom", or «Новая ведомость».
    QString displayName() const;

    // A new entry takes the remembered terms of the materials the bill does not know yet.
    void add(const bom::Entry &entry);
    void remove(QList<int> rows);
    void setTerms(const bom::MaterialKey &key, const bom::Terms &terms);
    void setCount(int row, int count);
    void setNote(int row, const QString &note);
    void setHead(const bom::Head &head);
    // An entry changed as a whole (its volume, references or section), said as what.
    void setEntry(int row, const bom::Entry &entry, const QString &what);
    // The sections and documents of a bill of quantities, with the entries that follow them.
    void setVor(const QString &what, const QList<bom::Section> &sections,
                const QList<bom::Document> &documents, const QList<bom::Entry> &entries);
    // The local estimate's terms, said as what: part of the bill's file, its changes and undo.
    void setEstimate(const QString &what, const std::optional<bom::EstimateTerms> &terms);

    // Links a material of the pages to a catalogue resource, here and in later bills; the link
    // undone, the material is on its own again.
    std::optional<bom::Refusal> link(const bom::MaterialKey &material,
                                     const norms::CatalogueResource &resource);
    void unlink(const QList<bom::MaterialKey> &materials);

    // A bill opened, restored or begun anew replaces this one with nothing to undo. A restored
    // bill keeps the file it belongs to and stays modified until saved.
    enum class State
    {
        Saved,
        Modified
    };
    void replace(const bom::Bill &bill, const QString &path, State state = State::Saved);
    // The bill is now in the file at path.
    void markSaved(const QString &path);

    // Used by the undo commands only: they change the bill and say what changed.
    void putEntries(const QList<bom::Entry> &entries,
                    const QMap<bom::MaterialKey, bom::Terms> &terms);
    void putTerms(const bom::MaterialKey &key, const bom::Terms &terms);
    void putEntry(int row, const bom::Entry &entry);
    void putHead(const bom::Head &head);
    // The whole bill at once: what the price and link commands change.
    void putBill(const bom::Bill &bill);
    void putVor(const QList<bom::Section> &sections, const QList<bom::Document> &documents,
                const QList<bom::Entry> &entries);
    void putEstimate(const std::optional<bom::EstimateTerms> &terms);

signals:
    // Entries added, removed or replaced: every row may have moved.
    void entriesChanged();
    // One entry changed in place (its count or note); the totals follow it.
    void entryChanged(int row);
    void termsChanged();
    void headChanged();
    // Sections or documents.
    void vorChanged();
    void estimateChanged();
    // The file, or whether the bill differs from it.
    void documentChanged();
    // Any change of the bill's content, undone ones included.
    void contentChanged();

private:
    void sumEntries();

    bom::Bill m_bill;
    bom::Sums m_sums;
    bom::Totals m_totals;
    QUndoStack *m_undo;
    QString m_path;
};
