#include "estimatebook.h"

#include "bill/billbook.h"
#include "estimatecompute.h"
#include "estimatetexts.h"

#include <QUndoStack>

#include <cmath>

namespace {

QString positionName(const lsr::Position &position)
{
    return QStringLiteral("позиция %1").arg(position.num);
}

} // namespace

EstimateBook::EstimateBook(BillBook &bill, NormBase &base, QObject *parent)
    : QObject(parent), m_bill(bill), m_engine(base)
{
    connect(&m_bill, &BillBook::contentChanged, this, &EstimateBook::billChanged);
    recompute(true);
}

EstimateBook::~EstimateBook() = default;

QUndoStack *EstimateBook::undoStack() const
{
    return m_bill.undoStack();
}

const bom::EstimateTerms &EstimateBook::terms() const
{
    return m_bill.bill().estimate ? *m_bill.bill().estimate : m_defaults;
}

QStringList EstimateBook::staleChoices() const
{
    QStringList stale;
    const QList<bom::Entry> &entries = m_bill.bill().entries;
    for (const bom::PositionTerms &kept : terms().positions)
        if (kept.entry < 0 || kept.entry >= entries.size() ||
            entries.at(kept.entry).normCode != kept.normCode)
            stale << QStringLiteral("Выбор для записи %1 (%2) не применен: в ней теперь другая "
                                    "норма или ее нет.")
                         .arg(kept.entry + 1)
                         .arg(kept.normCode);
    return stale;
}

void EstimateBook::billChanged()
{
    const bom::Bill &bill = m_bill.bill();
    recompute(!m_loadedEntries || *m_loadedEntries != bill.entries ||
              m_loadedList != terms().priceList);
}

void EstimateBook::baseChanged()
{
    recompute(true);
}

void EstimateBook::recompute(bool reload)
{
    bom::Bill bill = m_bill.bill();
    if (!bill.estimate && (reload || m_defaults.guid.isEmpty())) {
        // A new estimate's defaults follow the bill until the first change keeps them; its
        // identity is made once.
        const QString guid = m_defaults.guid;
        m_defaults = m_engine.defaultTerms(bill);
        if (!guid.isEmpty())
            m_defaults.guid = guid;
    }
    if (!bill.estimate)
        bill.estimate = m_defaults;
    if (reload) {
        m_loadedEntries = bill.entries;
        m_loadedList = bill.estimate->priceList;
        const std::optional<QString> failure = m_engine.load(bill);
        m_failure = failure.value_or(QString());
    }
    m_estimate = m_engine.compute(bill);
    m_estimate.head.vorFileName = lsr::vorFileNameOf(m_bill.path());
    emit estimateChanged();
}

EstimateBook::Refusal EstimateBook::change(const QString &what, const bom::EstimateTerms &terms)
{
    if (terms == this->terms())
        return std::nullopt;
    m_bill.setEstimate(what, terms);
    return std::nullopt;
}

EstimateBook::Refusal EstimateBook::setTerms(const QString &what, const bom::EstimateTerms &terms)
{
    if (terms.regionCode < -1 || terms.regionCode > 99)
        return QStringLiteral("Код региона — число от 0 до 99");
    for (const bom::LegalAct &act : terms.legal)
        if (act.name.trimmed().isEmpty())
            return QStringLiteral("У нормативного акта должно быть наименование");
    return change(what, terms);
}

EstimateBook::Refusal EstimateBook::setPriceList(const norms::StoredPriceList &list)
{
    bom::EstimateTerms terms = this->terms();
    // The region, its zone and the letter of indexes follow the list.
    lsr::choosePriceList(terms, list.title);
    return change(QStringLiteral("прайс-лист «%1»").arg(list.name), terms);
}

EstimateBook::Refusal EstimateBook::setPrice(const bom::TypedPrice &price)
{
    if (price.code.trimmed().isEmpty())
        return QStringLiteral("Цену можно задать только ресурсу с кодом");
    if (!std::isfinite(price.value) || price.value <= 0)
        return price.kind == bom::TypedPrice::Kind::Index
                   ? QStringLiteral("Индекс — число больше нуля, например 9,12")
                   : QStringLiteral("Цена — число рублей больше нуля, например 350 или 12,50");
    if (price.basis.trimmed().isEmpty())
        return QStringLiteral("Укажите обоснование цены «%1»: например, «Конъюнктурный анализ, "
                              "счет № 12 от 03.11.2026»")
            .arg(price.code);
    bom::EstimateTerms terms = this->terms();
    bool replaced = false;
    for (bom::TypedPrice &typed : terms.prices)
        if (typed.code == price.code) {
            typed = price;
            replaced = true;
        }
    if (!replaced)
        terms.prices.append(price);
    return change(QStringLiteral("цена «%1»").arg(price.code), terms);
}

void EstimateBook::removePrice(const QString &code)
{
    bom::EstimateTerms terms = this->terms();
    terms.prices.removeIf([&code](const bom::TypedPrice &price) { return price.code == code; });
    change(QStringLiteral("цена «%1» снята").arg(code), terms);
}

bom::PositionTerms EstimateBook::positionOf(const lsr::Position &position) const
{
    const QString normCode = estimatetexts::positionCode(position);
    for (const bom::PositionTerms &terms : this->terms().positions)
        if (terms.entry == position.entry && terms.normCode == normCode)
            return terms;
    bom::PositionTerms terms;
    terms.entry = position.entry;
    terms.normCode = normCode;
    return terms;
}

EstimateBook::Refusal EstimateBook::changePosition(const QString &what,
                                                   const bom::PositionTerms &position)
{
    bom::EstimateTerms terms = this->terms();
    bool replaced = false;
    for (bom::PositionTerms &kept : terms.positions)
        if (kept.entry == position.entry && kept.normCode == position.normCode) {
            kept = position;
            replaced = true;
        }
    if (!replaced)
        terms.positions.append(position);
    // Choices left empty keep nothing in the file.
    terms.positions.removeIf([](const bom::PositionTerms &kept) {
        return kept.overheadReason.isEmpty() && kept.coefficients.isEmpty() &&
               kept.designChoices.isEmpty();
    });
    return change(what, terms);
}

EstimateBook::Refusal EstimateBook::setReference(const lsr::Position &position,
                                                 const QString &overheadReason)
{
    if (!position.norm || position.entry < 0)
        return QStringLiteral("НР и СП выбираются только у расценки");
    bom::PositionTerms terms = positionOf(position);
    terms.overheadReason = overheadReason;
    return changePosition(
        QStringLiteral("НР и СП «%1», %2").arg(overheadReason, positionName(position)), terms);
}

EstimateBook::Refusal EstimateBook::addCoefficient(const lsr::Position &position,
                                                   const bom::Coefficient &coefficient)
{
    if (!position.norm || position.entry < 0)
        return QStringLiteral("Коэффициенты задаются только у расценки");
    if (coefficient.name.trimmed().isEmpty())
        return QStringLiteral("Укажите наименование коэффициента, например «Производство работ "
                              "в стесненных условиях»");
    if (coefficient.reason.trimmed().isEmpty())
        return QStringLiteral("Укажите обоснование коэффициента «%1», например «МДС 81-35.2004, "
                              "прил. 1, п. 1.1»")
            .arg(coefficient.name);
    if (!std::isfinite(coefficient.value) || coefficient.value <= 0)
        return QStringLiteral("Коэффициент — число больше нуля, например 1,15");
    bom::PositionTerms terms = positionOf(position);
    terms.coefficients.append(coefficient);
    return changePosition(
        QStringLiteral("коэффициент «%1», %2").arg(coefficient.name, positionName(position)),
        terms);
}

void EstimateBook::removeCoefficient(const lsr::Position &position, int index)
{
    bom::PositionTerms terms = positionOf(position);
    if (index < 0 || index >= terms.coefficients.size())
        return;
    const QString name = terms.coefficients.takeAt(index).name;
    changePosition(QStringLiteral("коэффициент «%1» снят, %2").arg(name, positionName(position)),
                   terms);
}

EstimateBook::Refusal EstimateBook::setDesignChoice(const lsr::Position &position,
                                                    const bom::DesignChoice &choice)
{
    if (choice.code.trimmed().isEmpty())
        return QStringLiteral("Выберите ресурс каталога для строки «%1»").arg(choice.abstractCode);
    if (!std::isfinite(choice.perUnit) || choice.perUnit <= 0)
        return QStringLiteral("Расход ресурса «%1» — число больше нуля на единицу расценки")
            .arg(choice.code);
    bom::PositionTerms terms = positionOf(position);
    terms.designChoices.removeIf([&choice](const bom::DesignChoice &kept) {
        return kept.abstractCode == choice.abstractCode;
    });
    terms.designChoices.append(choice);
    return changePosition(
        QStringLiteral("ресурс «%1» по проекту, %2").arg(choice.code, positionName(position)),
        terms);
}
