#include "billbook.h"

#include "billcommands.h"
#include "vorcommands.h"

#include <QFileInfo>
#include <QSettings>
#include <QUndoStack>

#include <algorithm>
#include <memory>

namespace {

// Material names may hold any character; the key of the settings file must not. A norm's
// resource is remembered by its code, whatever name it came with.
QString settingsKey(const bom::MaterialKey &key)
{
    if (key.hasCode())
        return QStringLiteral("billTerms/code-") + QString::fromLatin1(key.code.toUtf8().toHex());
    return QStringLiteral("billTerms/") +
           QString::fromLatin1((key.name + u'\x1f' + key.unit).toUtf8().toHex());
}

std::unique_ptr<QSettings> settings()
{
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                       QStringLiteral("merilon"), QStringLiteral("merilon"));
}

void remember(const bom::MaterialKey &key, const bom::Terms &terms)
{
    const std::unique_ptr<QSettings> owner = settings();
    QSettings &store = *owner;
    const QString group = settingsKey(key);
    store.setValue(group + QStringLiteral("/reservePercent"), terms.reservePercent);
    store.setValue(group + QStringLiteral("/packSize"),
                   terms.packSize ? QVariant(*terms.packSize) : QVariant(QString()));
    store.setValue(group + QStringLiteral("/priceKopecks"),
                   terms.priceKopecks ? QVariant(*terms.priceKopecks) : QVariant(QString()));
    store.setValue(group + QStringLiteral("/priceBasis"),
                   terms.priceBasis == bom::PriceBasis::PerPack ? QStringLiteral("pack")
                                                                : QStringLiteral("unit"));
}

} // namespace

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

std::optional<bom::Terms> BillBook::rememberedTerms(const bom::MaterialKey &key)
{
    const std::unique_ptr<QSettings> owner = settings();
    const QSettings &store = *owner;
    const QString group = settingsKey(key);
    if (!store.contains(group + QStringLiteral("/reservePercent")))
        return std::nullopt;
    bom::Terms terms;
    terms.reservePercent = store.value(group + QStringLiteral("/reservePercent")).toDouble();
    const QVariant pack = store.value(group + QStringLiteral("/packSize"));
    if (pack.isValid() && !pack.toString().isEmpty())
        terms.packSize = pack.toDouble();
    const QVariant price = store.value(group + QStringLiteral("/priceKopecks"));
    if (price.isValid() && !price.toString().isEmpty())
        terms.priceKopecks = price.toLongLong();
    // Before the basis was kept, a price was per pack exactly when a pack size was set.
    const QString basis = store.value(group + QStringLiteral("/priceBasis")).toString();
    if (basis == QStringLiteral("pack") || (basis.isEmpty() && terms.packSize))
        terms.priceBasis = bom::PriceBasis::PerPack;
    // A settings file edited by hand must not bring in what a cell would refuse.
    if (bom::refusalOfReserve(terms.reservePercent) ||
        (terms.packSize && bom::refusalOfPackSize(*terms.packSize)) ||
        (terms.priceKopecks && bom::refusalOfPrice(*terms.priceKopecks)))
        return std::nullopt;
    return terms;
}

void BillBook::add(const bom::Entry &entry)
{
    QMap<bom::MaterialKey, bom::Terms> terms = m_bill.terms;
    for (const bom::Material &material : entry.materials) {
        if (terms.contains(material.key))
            continue;
        if (const std::optional<bom::Terms> remembered = rememberedTerms(material.key);
            remembered && *remembered != bom::Terms{})
            terms.insert(material.key, *remembered);
    }
    // A new entry goes into the last section, the one the user is most likely filling.
    bom::Entry added = entry;
    added.section = int(m_bill.sections.size()) - 1;
    m_undo->push(billcommands::changeEntries(*this,
                                             QStringLiteral("добавление «%1»").arg(entry.work),
                                             m_bill.entries + QList{added}, terms));
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

void BillBook::replace(const bom::Bill &bill, const QString &path, State state)
{
    m_undo->clear();
    m_bill = bill;
    m_path = path;
    // A bill that differs from its file can never come back to it by undoing.
    if (state == State::Modified)
        m_undo->resetClean();
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
    remember(key, terms);
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

void BillBook::sumEntries()
{
    m_sums = bom::sumMaterials(m_bill.entries);
    m_totals = bom::applyTerms(m_sums, m_bill.terms);
}

QString BillBook::outdatedNote(const bom::Entry &entry) const
{
    if (entry.normVersion <= 0 || !m_normVersions)
        return {};
    const std::optional<int> current = m_normVersions(entry.normCode);
    if (!current || *current == entry.normVersion)
        return {};
    return QStringLiteral("Рассчитано по версии %1 нормы %2; сейчас действует версия %3.")
        .arg(entry.normVersion)
        .arg(entry.normCode)
        .arg(*current);
}
