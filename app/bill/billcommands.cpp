#include "billcommands.h"

#include "billbook.h"
#include "billmemory.h"

namespace billcommands {

namespace {

class EntriesCommand : public QUndoCommand
{
public:
    EntriesCommand(BillBook &book, const QString &text, const QList<bom::Entry> &after,
                   const QMap<bom::MaterialKey, bom::Terms> &termsAfter)
        : QUndoCommand(text), m_book(book), m_before(book.bill().entries),
          m_termsBefore(book.bill().terms), m_after(after), m_termsAfter(termsAfter)
    {
    }
    void redo() override { m_book.putEntries(m_after, m_termsAfter); }
    void undo() override { m_book.putEntries(m_before, m_termsBefore); }

private:
    BillBook &m_book;
    QList<bom::Entry> m_before;
    QMap<bom::MaterialKey, bom::Terms> m_termsBefore;
    QList<bom::Entry> m_after;
    QMap<bom::MaterialKey, bom::Terms> m_termsAfter;
};

class TermsCommand : public QUndoCommand
{
public:
    TermsCommand(BillBook &book, const bom::MaterialKey &key, const bom::Terms &after)
        : QUndoCommand(QStringLiteral("условия «%1»").arg(key.name)), m_book(book), m_key(key),
          m_before(book.bill().terms.value(key)), m_after(after)
    {
    }
    // The terms are the user's for later bills too, as they stand after each step.
    void redo() override { put(m_after); }
    void undo() override { put(m_before); }

private:
    void put(const bom::Terms &terms)
    {
        m_book.putTerms(m_key, terms);
        billmemory::rememberTerms(m_key, terms);
    }

    BillBook &m_book;
    bom::MaterialKey m_key;
    bom::Terms m_before;
    bom::Terms m_after;
};

class EntryCommand : public QUndoCommand
{
public:
    EntryCommand(BillBook &book, const QString &text, int row, const bom::Entry &after)
        : QUndoCommand(text), m_book(book), m_row(row), m_before(book.bill().entries.at(row)),
          m_after(after)
    {
    }
    void redo() override { m_book.putEntry(m_row, m_after); }
    void undo() override { m_book.putEntry(m_row, m_before); }

private:
    BillBook &m_book;
    int m_row;
    bom::Entry m_before;
    bom::Entry m_after;
};

class HeadCommand : public QUndoCommand
{
public:
    HeadCommand(BillBook &book, const bom::Head &after)
        : QUndoCommand(QStringLiteral("шапка ведомости")), m_book(book), m_before(book.bill().head),
          m_after(after)
    {
    }
    void redo() override { m_book.putHead(m_after); }
    void undo() override { m_book.putHead(m_before); }

private:
    BillBook &m_book;
    bom::Head m_before;
    bom::Head m_after;
};

class EstimateCommand : public QUndoCommand
{
public:
    EstimateCommand(BillBook &book, const QString &text,
                    const std::optional<bom::EstimateTerms> &after)
        : QUndoCommand(text), m_book(book), m_before(book.bill().estimate), m_after(after)
    {
    }
    void redo() override { m_book.putEstimate(m_after); }
    void undo() override { m_book.putEstimate(m_before); }

private:
    BillBook &m_book;
    std::optional<bom::EstimateTerms> m_before;
    std::optional<bom::EstimateTerms> m_after;
};

class BillCommand : public QUndoCommand
{
public:
    BillCommand(BillBook &book, const QString &text, const bom::Bill &after)
        : QUndoCommand(text), m_book(book), m_before(book.bill()), m_after(after)
    {
    }
    void redo() override { m_book.putBill(m_after); }
    void undo() override { m_book.putBill(m_before); }

protected:
    BillBook &m_book;
    bom::Bill m_before;
    bom::Bill m_after;
};

// A link is the user's for later bills too: made, it is remembered, and undone, forgotten, by
// the command that makes it; the book only holds the bill (docs/decisions.md).
class LinksCommand : public BillCommand
{
public:
    using BillCommand::BillCommand;
    void redo() override
    {
        BillCommand::redo();
        remember(m_after);
    }
    void undo() override
    {
        BillCommand::undo();
        remember(m_before);
    }

private:
    void remember(const bom::Bill &bill) const
    {
        QList<bom::MaterialKey> changed = m_before.links.keys();
        for (auto it = m_after.links.cbegin(); it != m_after.links.cend(); ++it) {
            if (!changed.contains(it.key()))
                changed.append(it.key());
        }
        for (const bom::MaterialKey &material : std::as_const(changed)) {
            if (m_before.links.value(material) == m_after.links.value(material))
                continue;
            const auto link = bill.links.constFind(material);
            billmemory::rememberLink(material, link == bill.links.cend()
                                                   ? std::nullopt
                                                   : std::optional<bom::ResourceLink>(*link));
        }
    }
};

} // namespace

QUndoCommand *changeBill(BillBook &book, const QString &text, const bom::Bill &after)
{
    return new BillCommand(book, text, after);
}

QUndoCommand *fillCataloguePrices(BillBook &book, const QMap<bom::MaterialKey, bom::Terms> &after)
{
    bom::Bill bill = book.bill();
    bill.terms = after;
    return new BillCommand(book, QStringLiteral("цены из ФСБЦ"), bill);
}

QUndoCommand *changeLinks(BillBook &book, const QString &text,
                          const QMap<bom::MaterialKey, bom::ResourceLink> &after)
{
    bom::Bill bill = book.bill();
    bill.links = after;
    return new LinksCommand(book, text, bill);
}

QUndoCommand *changeEntries(BillBook &book, const QString &text, const QList<bom::Entry> &after,
                            const QMap<bom::MaterialKey, bom::Terms> &termsAfter)
{
    return new EntriesCommand(book, text, after, termsAfter);
}

QUndoCommand *changeTerms(BillBook &book, const bom::MaterialKey &key, const bom::Terms &after)
{
    return new TermsCommand(book, key, after);
}

QUndoCommand *changeEntry(BillBook &book, const QString &text, int row, const bom::Entry &after)
{
    return new EntryCommand(book, text, row, after);
}

QUndoCommand *changeHead(BillBook &book, const bom::Head &after)
{
    return new HeadCommand(book, after);
}

QUndoCommand *changeEstimate(BillBook &book, const QString &text,
                             const std::optional<bom::EstimateTerms> &after)
{
    return new EstimateCommand(book, text, after);
}

} // namespace billcommands
