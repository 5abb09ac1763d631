#include "billbook.h"

#include "billcommands.h"
#include "common/settings.h"
#include "pricecatalogue.h"
#include "units.h"
#include "vorcommands.h"

#include <QFileInfo>
#include <QSettings>
#include <QUndoStack>

#include <algorithm>
#include <memory>

namespace {

// Material names may hold any character; the key of the settings file must not. A norm's
// resource is remembered by its code, whatever name it came with.
QString hex(const QString &text)
{
    return QString::fromLatin1(text.toUtf8().toHex());
}

// A coded material is its code, name and unit together: two layers of a roof under one code keep
// their own terms.
QString settingsKey(const bom::MaterialKey &key)
{
    const QString nameAndUnit = hex(key.name + u'\x1f' + key.unit);
    if (key.hasCode())
        return QStringLiteral("billTerms/code-") + hex(key.code) + u'-' + nameAndUnit;
    return QStringLiteral("billTerms/") + nameAndUnit;
}

// Where terms of a coded material were kept by its code alone.
QString codeOnlyKey(const bom::MaterialKey &key)
{
    return QStringLiteral("billTerms/code-") + hex(key.code);
}

QString linkKey(const bom::MaterialKey &material)
{
    return QStringLiteral("billLinks/") + hex(material.name + u'\x1f' + material.unit);
}

void remember(const bom::MaterialKey &key, const bom::Terms &terms)
{
    const std::unique_ptr<QSettings> owner = programSettings();
    QSettings &store = *owner;
    const QString group = settingsKey(key);
    store.setValue(group + QStringLiteral("/reservePercent"), terms.reservePercent);
    store.setValue(group + QStringLiteral("/packSize"),
                   terms.packSize ? QVariant(*terms.packSize) : QVariant(QString()));
    // A price belongs to its bill: a later bill starts without one. What an earlier run kept of
    // prices goes at the material's next change.
    store.remove(group + QStringLiteral("/priceKopecks"));
    store.remove(group + QStringLiteral("/priceBasis"));
}

void rememberLink(const bom::MaterialKey &material, const std::optional<bom::ResourceLink> &link)
{
    const std::unique_ptr<QSettings> owner = programSettings();
    QSettings &store = *owner;
    const QString group = linkKey(material);
    if (!link) {
        store.remove(group);
        return;
    }
    store.setValue(group + QStringLiteral("/code"), link->code);
    store.setValue(group + QStringLiteral("/name"), link->name);
    store.setValue(group + QStringLiteral("/unit"), link->unit);
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
    const std::unique_ptr<QSettings> owner = programSettings();
    const QSettings &store = *owner;
    QString group = settingsKey(key);
    if (!store.contains(group + QStringLiteral("/reservePercent")) && key.hasCode())
        group = codeOnlyKey(key);
    if (!store.contains(group + QStringLiteral("/reservePercent")))
        return std::nullopt;
    bom::Terms terms;
    terms.reservePercent = store.value(group + QStringLiteral("/reservePercent")).toDouble();
    const QVariant pack = store.value(group + QStringLiteral("/packSize"));
    if (pack.isValid() && !pack.toString().isEmpty())
        terms.packSize = pack.toDouble();
    // A settings file edited by hand must not bring in what a cell would refuse.
    if (bom::refusalOfReserve(terms.reservePercent) ||
        (terms.packSize && bom::refusalOfPackSize(*terms.packSize)))
        return std::nullopt;
    return terms;
}

std::optional<bom::ResourceLink> BillBook::rememberedLink(const bom::MaterialKey &material)
{
    const std::unique_ptr<QSettings> owner = programSettings();
    const QSettings &store = *owner;
    const QString group = linkKey(material);
    const QString code = store.value(group + QStringLiteral("/code")).toString();
    if (code.trimmed().isEmpty())
        return std::nullopt;
    // The units are checked again: a settings file edited by hand brings no link a user could
    // not make.
    return bom::linkOf(material, code, store.value(group + QStringLiteral("/name")).toString(),
                       store.value(group + QStringLiteral("/unit")).toString())
        .link;
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
            if (const std::optional<bom::ResourceLink> link = rememberedLink(material.key))
                after.links.insert(material.key, *link);
        }
        if (after.terms.contains(material.key))
            continue;
        if (const std::optional<bom::Terms> remembered = rememberedTerms(material.key);
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

void BillBook::setCatalogue(std::shared_ptr<PriceCatalogue> catalogue)
{
    m_catalogue = std::move(catalogue);
    catalogueChanged();
}

void BillBook::catalogueChanged()
{
    m_catalogueAvailable.reset();
    m_resources.clear();
    emit termsChanged();
}

bool BillBook::hasCatalogue()
{
    if (!m_catalogue)
        return false;
    if (!m_catalogueAvailable)
        m_catalogueAvailable = m_catalogue->available();
    return *m_catalogueAvailable;
}

std::optional<norms::CatalogueResource> BillBook::catalogueResource(const QString &code)
{
    if (code.isEmpty() || !hasCatalogue())
        return std::nullopt;
    const auto known = m_resources.constFind(code);
    if (known != m_resources.cend())
        return *known;
    const std::optional<norms::CatalogueResource> found = m_catalogue->resource(code);
    m_resources.insert(code, found);
    return found;
}

std::optional<BillBook::BasePrice> BillBook::basePrice(const bom::MaterialKey &key)
{
    const std::optional<norms::CatalogueResource> resource = catalogueResource(key.code);
    if (!resource || !resource->cost || !(*resource->cost >= 0))
        return std::nullopt;
    // A machine-hour is a machine-hour, whatever the catalogue calls its unit.
    const std::optional<double> factor =
        resource->machine ? std::optional<double>(1.0) : bom::unitFactor(key.unit, resource->unit);
    if (!factor)
        return std::nullopt;
    return BasePrice{*resource->cost * *factor, *factor, resource->priceLevel};
}

void BillBook::forEachPriced(
    const std::function<void(const bom::MaterialKey &, const bom::Terms &)> &visit) const
{
    for (const bom::Total &row : m_totals.rows) {
        if (row.key.hasCode())
            visit(row.key, row.terms);
    }
    // Labour has no federal price.
    for (const bom::HoursTotal &row : m_totals.hours) {
        if (row.kind == bom::MaterialKind::Machine && row.key.hasCode())
            visit(row.key, row.terms);
    }
}

std::optional<BillBook::IndexedPrice> BillBook::indexedPrice(const bom::MaterialKey &key,
                                                             double index)
{
    const std::optional<BasePrice> base = basePrice(key);
    if (!base)
        return std::nullopt;
    const double cost = *catalogueResource(key.code)->cost; // per the catalogue's unit
    return IndexedPrice{bom::cataloguePrice(cost, base->factor, index), *base,
                        bom::refusalOfIndexedPrice(key.name, cost, base->factor, index)};
}

std::optional<bom::Refusal> BillBook::setPriceIndex(std::optional<double> index)
{
    if (m_bill.priceIndex == index)
        return std::nullopt;
    bom::Bill after = m_bill;
    after.priceIndex = index;
    std::optional<bom::Refusal> refusal;
    // Every price the catalogue can give, and not only those it gave: a later fill takes them.
    // Without an index a price keeps the index its origin names.
    forEachPriced([&](const bom::MaterialKey &key, const bom::Terms &terms) {
        const bool typed = terms.priceKopecks && !terms.priceOrigin;
        if (refusal || !index || typed)
            return;
        const std::optional<IndexedPrice> price = indexedPrice(key, *index);
        // A catalogue price that cannot follow would stand at another index than the bill's.
        if (!price && terms.priceOrigin)
            refusal = bom::Refusal{
                QStringLiteral("Индекс не изменен: цены «%1» из ФСБЦ нет в базе норм, и ее нельзя "
                               "пересчитать. Загрузите ФСБЦ или введите цену сами")
                    .arg(key.name)};
        if (!price)
            return;
        refusal = price->refusal;
        if (refusal || !terms.priceOrigin)
            return;
        bom::Terms followed = terms;
        followed.priceKopecks = price->kopecks;
        followed.priceOrigin = bom::PriceOrigin{price->base.level, *index};
        after.terms.insert(key, followed);
    });
    if (refusal)
        return refusal;
    m_undo->push(billcommands::changeBill(*this, QStringLiteral("индекс к ценам"), after));
    return std::nullopt;
}

std::optional<QString> BillBook::fillCataloguePrices()
{
    if (!hasCatalogue())
        return QStringLiteral("Цены из ФСБЦ не заполнены: в базе норм нет сметных цен. Загрузите "
                              "«ФСБЦ_Мат&Оборуд.xml» и «ФСБЦ_Маш.xml» («Действия» → «Загрузить "
                              "базу норм...»)");
    if (!m_bill.priceIndex)
        return QStringLiteral("Цены из ФСБЦ не заполнены: укажите «Индекс к ценам 01.01.2022» — "
                              "цены каталога умножаются на него");
    const double index = *m_bill.priceIndex;
    bom::Bill after = m_bill;
    int priced = 0;
    std::optional<bom::Refusal> refusal;
    forEachPriced([&](const bom::MaterialKey &key, bom::Terms terms) {
        // A price the user typed, per unit or per pack, is theirs.
        if (refusal || (terms.priceKopecks && !terms.priceOrigin))
            return;
        const std::optional<IndexedPrice> price = indexedPrice(key, index);
        if (!price)
            return;
        refusal = price->refusal;
        if (refusal)
            return;
        terms.priceKopecks = price->kopecks;
        terms.priceBasis = bom::PriceBasis::PerUnit;
        terms.priceOrigin = bom::PriceOrigin{price->base.level, index};
        after.terms.insert(key, terms);
        ++priced;
    });
    // An index taken from a file or before the catalogue came can still be one that spoils prices.
    if (refusal)
        return QStringLiteral("Цены из ФСБЦ не заполнены. ") + refusal->reason;
    if (priced == 0)
        return QStringLiteral("Цены из ФСБЦ не заполнены: ни одного материала с кодом или машины "
                              "без цены нет в каталоге");
    if (after.terms != m_bill.terms)
        m_undo->push(billcommands::fillCataloguePrices(*this, after.terms));
    return std::nullopt;
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
        knowNormVersions();
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
    knowNormVersions();
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
    knowNormVersions();
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
    knowNormVersions();
    emit entryChanged(row);
    emit contentChanged();
}

void BillBook::putHead(const bom::Head &head)
{
    m_bill.head = head;
    emit headChanged();
    emit contentChanged();
}

void BillBook::putBill(const bom::Bill &bill, bool rememberLinks)
{
    // The links are the user's for later bills too; undone, they are forgotten there as well.
    QList<bom::MaterialKey> changed;
    if (rememberLinks) {
        for (auto it = m_bill.links.cbegin(); it != m_bill.links.cend(); ++it) {
            if (!bill.links.contains(it.key()))
                changed.append(it.key());
        }
        for (auto it = bill.links.cbegin(); it != bill.links.cend(); ++it) {
            if (m_bill.links.value(it.key()) != *it)
                changed.append(it.key());
        }
    }
    const bool headChanged = m_bill.head != bill.head;
    m_bill = bill;
    for (const bom::MaterialKey &material : std::as_const(changed)) {
        const auto link = m_bill.links.constFind(material);
        rememberLink(material, link == m_bill.links.cend()
                                   ? std::nullopt
                                   : std::optional<bom::ResourceLink>(*link));
    }
    sumEntries();
    knowNormVersions();
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

void BillBook::setNormVersions(NormVersions versions)
{
    m_normVersions = std::move(versions);
    m_currentVersions.clear();
    knowNormVersions();
    if (!m_currentVersions.isEmpty())
        emit normVersionsChanged(m_currentVersions.keys());
}

void BillBook::knowNormVersions()
{
    QHash<QString, std::optional<int>> known;
    for (const bom::Entry &entry : std::as_const(m_bill.entries)) {
        if (entry.normVersion <= 0 || known.contains(entry.normCode))
            continue;
        const auto found = m_currentVersions.constFind(entry.normCode);
        known.insert(entry.normCode, found != m_currentVersions.cend() ? *found
                                     : m_normVersions ? m_normVersions(entry.normCode)
                                                      : std::nullopt);
    }
    m_currentVersions = std::move(known);
}

void BillBook::refreshNormVersions()
{
    QStringList changed;
    for (auto it = m_currentVersions.begin(); it != m_currentVersions.end(); ++it) {
        const std::optional<int> current = m_normVersions ? m_normVersions(it.key()) : std::nullopt;
        if (current != *it) {
            *it = current;
            changed.append(it.key());
        }
    }
    if (!changed.isEmpty())
        emit normVersionsChanged(changed);
}

QString BillBook::outdatedNote(const bom::Entry &entry) const
{
    if (entry.normVersion <= 0)
        return {};
    const std::optional<int> current = m_currentVersions.value(entry.normCode);
    if (!current || *current == entry.normVersion)
        return {};
    return QStringLiteral("Рассчитано по версии %1 нормы %2; сейчас действует версия %3.")
        .arg(QString::number(entry.normVersion), entry.normCode, QString::number(*current));
}
