#pragma once

#include "cataloguelookup.h"
#include "totals.h"

#include <QHash>
#include <QObject>

#include <functional>
#include <memory>
#include <optional>

class PriceCatalogue;
class QUndoStack;

// The bill of the running program as a document: its entries, terms and head, the totals kept
// in step with them, the file it belongs to and whether it holds changes not saved there.
// Every change goes through the undo stack, so that Ctrl+Z takes back any of them; the terms
// are also remembered per material between runs.
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

    // The federal price catalogue the bill reads prices from; none: no catalogue prices.
    void setCatalogue(std::shared_ptr<PriceCatalogue> catalogue);
    PriceCatalogue *catalogue() const { return m_catalogue.get(); }
    // Whether there is a catalogue to read; said once per catalogue, until it changes.
    bool hasCatalogue();
    // The catalogue was replaced underneath (a new import): what was read of it is forgotten.
    void catalogueChanged();
    // A coded material's or a machine's price at the catalogue's base level per the row's unit,
    // with the level; none when the catalogue does not list it in a unit the row converts to.
    struct BasePrice
    {
        double cost = 0;   // roubles per unit of the row
        double factor = 1; // the row's unit in the catalogue's
        QString level;
    };
    std::optional<BasePrice> basePrice(const bom::MaterialKey &key);
    // A resource of the catalogue by code, read once.
    std::optional<norms::CatalogueResource> catalogueResource(const QString &code);

    // The catalogue's prices already in the bill follow a new index in the same undo step; typed
    // ones stay. Refused when the index would make a catalogue price 0,00 or too large.
    std::optional<bom::Refusal> setPriceIndex(std::optional<double> index);
    // «Цены из ФСБЦ»: every coded material and machine without a price the user typed gets the
    // catalogue's price × the index, in one undo step. Says why when nothing can be priced.
    std::optional<QString> fillCataloguePrices();
    // Links a material of the pages to a catalogue resource, here and in later bills; the link
    // undone, the material is on its own again.
    std::optional<bom::Refusal> link(const bom::MaterialKey &material,
                                     const norms::CatalogueResource &resource);
    void unlink(const QList<bom::MaterialKey> &materials);
    static std::optional<bom::ResourceLink> rememberedLink(const bom::MaterialKey &material);

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

    // The current version of a firm norm by its code, none when the base does not have it.
    // Asked when entries come in and at refreshNormVersions(), never while the bill is shown.
    using NormVersions = std::function<std::optional<int>(const QString &code)>;
    void setNormVersions(NormVersions versions);
    // The firm norms changed: their current versions are read again.
    void refreshNormVersions();
    // Said at an entry computed on a firm norm that has a later version now; empty otherwise.
    QString outdatedNote(const bom::Entry &entry) const;

    // The terms remembered for a material, if any: reserve and pack size, never a price, which
    // belongs to its bill.
    static std::optional<bom::Terms> rememberedTerms(const bom::MaterialKey &key);

    // Used by the undo commands only: they change the bill and say what changed.
    void putEntries(const QList<bom::Entry> &entries,
                    const QMap<bom::MaterialKey, bom::Terms> &terms);
    void putTerms(const bom::MaterialKey &key, const bom::Terms &terms);
    void putEntry(int row, const bom::Entry &entry);
    void putHead(const bom::Head &head);
    // The whole bill at once: what the price and link commands change. With rememberLinks, the
    // links that change are kept, or forgotten, for later bills too.
    void putBill(const bom::Bill &bill, bool rememberLinks = false);
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
    // The current versions of these firm norms changed: their entries' notes with them.
    void normVersionsChanged(const QStringList &codes);

private:
    // The catalogue's price of a row's resource at the index, with why it cannot be; none when
    // the catalogue does not price the row.
    struct IndexedPrice
    {
        std::optional<qint64> kopecks;
        BasePrice base;
        std::optional<bom::Refusal> refusal;
    };
    std::optional<IndexedPrice> indexedPrice(const bom::MaterialKey &key, double index);
    // Calls visit on every coded material and machine with its terms.
    void forEachPriced(
        const std::function<void(const bom::MaterialKey &, const bom::Terms &)> &visit) const;
    void sumEntries();
    // The current versions of the firm norms the entries use; only new codes are asked.
    void knowNormVersions();

    bom::Bill m_bill;
    bom::Sums m_sums;
    bom::Totals m_totals;
    QUndoStack *m_undo;
    QString m_path;
    NormVersions m_normVersions;
    QHash<QString, std::optional<int>> m_currentVersions;
    std::shared_ptr<PriceCatalogue> m_catalogue;
    std::optional<bool> m_catalogueAvailable;
    QHash<QString, std::optional<norms::CatalogueResource>> m_resources;
};
