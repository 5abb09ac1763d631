#include "vorcommands.h"

#include "billbook.h"

namespace vorcommands {

namespace {

class VorCommand : public QUndoCommand
{
public:
    VorCommand(BillBook &book, const QString &text, const QList<bom::Section> &sections,
               const QList<bom::Document> &documents, const QList<bom::Entry> &entries)
        : QUndoCommand(text),
          m_book(book), m_before{book.bill().sections, book.bill().documents, book.bill().entries},
          m_after{sections, documents, entries}
    {
    }
    void redo() override { m_book.putVor(m_after.sections, m_after.documents, m_after.entries); }
    void undo() override { m_book.putVor(m_before.sections, m_before.documents, m_before.entries); }

private:
    struct State
    {
        QList<bom::Section> sections;
        QList<bom::Document> documents;
        QList<bom::Entry> entries;
    };
    BillBook &m_book;
    State m_before;
    State m_after;
};

} // namespace

QUndoCommand *changeVor(BillBook &book, const QString &text, const QList<bom::Section> &sections,
                        const QList<bom::Document> &documents, const QList<bom::Entry> &entries)
{
    return new VorCommand(book, text, sections, documents, entries);
}

} // namespace vorcommands
