#include "billbook.h"

#include "billcommands.h"
#include "billmemory.h"
#include "cataloguelookup.h"
#include "vorcommands.h"

#include <QFileInfo>
#include <QUndoStack>

#include <algorithm>

BillBook::BillBook(QObject *parent) : QObject(parent), m_undo(new QUndoStack(this))
{
    connect(m_undo, &QUndoStack::cleanChanged, this, &BillBook::documentChanged);
}

bool BillBook::isModified() const
{
    return !m_undo->isClean();
}

QString BillBook::displayName() const
{
    return m_path.isEmpty() ? QStringLiteral("Новая ведомость") : QFileInfo(m_path).fileName();
}

void BillBook::add(const bom::Entry &entry)
{
    bom::Bill after = m_bill;
    // A new entry goes into the last section, the one the user is most likely filling.
    bom::Entry added = entry;
    added.section = int(m_bill.sections.size()) - 1;
    after.entries.append(added);
    for (const bom::Material &material : entry.materials) {
        if (material.kind == bom::MaterialKind::Buy && !material.key.hasCode() &&
            !after.links.contains(material.key)) {
            if (const std::optional<bom::ResourceLink> link =
                    billmemory::rememberedLink(material.key))
                after.links.insert(material.key, *link);
        }
        if (after.terms.contains(material.key))
            continue;
        if (const std::optional<bom::Terms> remembered = billmemory::rememberedTerms(material.key);
            remembered && *remembered != bom::Terms{})
            after.terms.insert(material.key, *remembered);
    }
    if (after.links == m_bill.links)
        m_undo->push(billcommands::changeEntries(
            *this, QStringLiteral("добавление «%1»").arg(entry.work), after.entries, after.terms));
    else
        m_undo->push(billcommands::changeBill(
            *this, QStringLiteral("добавление «%1»").arg(entry.work), after));
}

std::optional<bom::Refusal> BillBook::link(const bom::MaterialKey &material,
                                           const norms::CatalogueResource &resource)
{
    if (material.hasCode())
        return bom::Refusal{QStringLiteral("У материала уже есть код ресурса")};
    if (resource.machine)
        return bom::Refusal{QStringLiteral("«%1» — машина, а не материал").arg(resource.name)};
    const bom::LinkEdit edit = bom::linkOf(material, resource.code, resource.name, resource.unit);
    if (edit.refusal)
        return edit.refusal;
    if (m_bill.links.value(material) == *edit.link)
        return std::nullopt;
    bom::Bill after = m_bill;
    after.links.insert(material, *edit.link);
    m_undo->push(billcommands::changeLinks(
        *this, QStringLiteral("связь «%1» с ресурсом %2").arg(material.name, resource.code),
        after.links));
    return std::nullopt;
}

void BillBook::unlink(const QList<bom::MaterialKey> &materials)
{
    QMap<bom::MaterialKey, bom::ResourceLink> links = m_bill.links;
    for (const bom::MaterialKey &material : materials)
        links.remove(material);
    if (links == m_bill.links)
        return;
    m_undo->push(billcommands::changeLinks(
        *this, QStringLiteral("отвязка «%1»").arg(materials.value(0).name), links));
}

void BillBook::remove(QList<int> rows)
{
    std::sort(rows.begin(), rows.end(), std::greater<>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    QList<bom::Entry> entries = m_bill.entries;
    for (const int row : rows) {
        if (row >= 0 && row < entries.size())
            entries.removeAt(row);
    }
    if (entries.size() == m_bill.entries.size())
        return;
    m_undo->push(billcommands::changeEntries(*this, QStringLiteral("удаление записей"), entries,
                                             m_bill.terms));
}

void BillBook::setTerms(const bom::MaterialKey &key, const bom::Terms &terms)
{
    if (m_bill.terms.value(key) == terms)
        return;
    m_undo->push(billcommands::changeTerms(*this, key, terms));
}

void BillBook::setCount(int row, int count)
{
    if (row < 0 || row >= m_bill.entries.size() || m_bill.entries.at(row).count == count)
        return;
    bom::Entry entry = m_bill.entries.at(row);
    entry.count = count;
    m_undo->push(billcommands::changeEntry(*this, QStringLiteral("количество работ"), row, entry));
}

void BillBook::setNote(int row, const QString &note)
{
    if (row < 0 || row >= m_bill.entries.size() || m_bill.entries.at(row).note == note)
        return;
    bom::Entry entry = m_bill.entries.at(row);
    entry.note = note;
    m_undo->push(billcommands::changeEntry(*this, QStringLiteral("примечание"), row, entry));
}

void BillBook::setHead(const bom::Head &head)
{
    if (m_bill.head != head)
        m_undo->push(billcommands::changeHead(*this, head));
}

void BillBook::setEntry(int row, const bom::Entry &entry, const QString &what)
{
    if (row < 0 || row >= m_bill.entries.size() || m_bill.entries.at(row) == entry)
        return;
    m_undo->push(billcommands::changeEntry(*this, what, row, entry));
}

void BillBook::setVor(const QString &what, const QList<bom::Section> &sections,
                      const QList<bom::Document> &documents, const QList<bom::Entry> &entries)
{
    if (sections.isEmpty() ||
        (sections == m_bill.sections && documents == m_bill.documents && entries == m_bill.entries))
        return;
    m_undo->push(vorcommands::changeVor(*this, what, sections, documents, entries));
}

void BillBook::putVor(const QList<bom::Section> &sections, const QList<bom::Document> &documents,
                      const QList<bom::Entry> &entries)
{
    m_bill.sections = sections;
    m_bill.documents = documents;
    const bool entriesChange = m_bill.entries != entries;
    m_bill.entries = entries;
    if (entriesChange) {
        sumEntries();
        emit entriesChanged();
    }
    emit vorChanged();
    emit contentChanged();
}

void BillBook::setEstimate(const QString &what, const std::optional<bom::EstimateTerms> &terms)
{
    if (terms != m_bill.estimate)
        m_undo->push(billcommands::changeEstimate(*this, what, terms));
}

void BillBook::putEstimate(const std::optional<bom::EstimateTerms> &terms)
{
    m_bill.estimate = terms;
    emit estimateChanged();
    emit contentChanged();
}

void BillBook::replace(const bom::Bill &bill, const QString &path, State state)
{
    m_undo->clear();
    m_bill = bill;
    m_path = path;
    // A bill that differs from its file can never come back to it by undoing. The stack's clear
    // leaves the mark of such a bill when it held no step, so a bill as its file is marked so.
    if (state == State::Modified)
        m_undo->resetClean();
    else
        m_undo->setClean();
    sumEntries();
    emit entriesChanged();
    emit headChanged();
    emit vorChanged();
    emit documentChanged();
    emit contentChanged();
}

void BillBook::markSaved(const QString &path)
{
    m_path = path;
    m_undo->setClean();
    emit documentChanged();
}

void BillBook::putEntries(const QList<bom::Entry> &entries,
                          const QMap<bom::MaterialKey, bom::Terms> &terms)
{
    m_bill.entries = entries;
    m_bill.terms = terms;
    sumEntries();
    emit entriesChanged();
    emit contentChanged();
}

void BillBook::putTerms(const bom::MaterialKey &key, const bom::Terms &terms)
{
    if (terms == bom::Terms{})
        m_bill.terms.remove(key);
    else
        m_bill.terms.insert(key, terms);
    m_totals = bom::applyTerms(m_sums, m_bill.terms);
    emit termsChanged();
    emit contentChanged();
}

void BillBook::putEntry(int row, const bom::Entry &entry)
{
    m_bill.entries[row] = entry;
    sumEntries();
    emit entryChanged(row);
    emit contentChanged();
}

void BillBook::putHead(const bom::Head &head)
{
    m_bill.head = head;
    emit headChanged();
    emit contentChanged();
}

void BillBook::putBill(const bom::Bill &bill)
{
    const bool headChanged = m_bill.head != bill.head;
    m_bill = bill;
    sumEntries();
    emit entriesChanged();
    if (headChanged)
        emit this->headChanged();
    emit contentChanged();
}

void BillBook::sumEntries()
{
    m_sums = bom::sumMaterials(m_bill.entries, m_bill.links);
    m_totals = bom::applyTerms(m_sums, m_bill.terms);
}
