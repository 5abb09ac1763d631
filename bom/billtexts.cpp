#include "billtexts.h"

#include "resulttext.h"

#include <algorithm>

namespace billtexts {

namespace {

const QString kDash = QStringLiteral("—");

QString optionalQuantity(const std::optional<double> &value)
{
    return value ? bom::quantityText(*value) : kDash;
}

QString money(qint64 kopecks, MoneyForm form)
{
    return form == MoneyForm::Grouped ? bom::groupedMoneyText(kopecks) : bom::moneyText(kopecks);
}

QString sumText(const bom::Total &row, MoneyForm form)
{
    if (row.sumKopecks)
        return money(*row.sumKopecks, form);
    if (row.sumTooLarge)
        return QStringLiteral("слишком велика");
    if (row.needsPackSize)
        return QStringLiteral("нет фасовки");
    return kDash;
}

// What to buy of a material that is not counted in pieces, with as many digits as the pages
// show their figures; pieces are whole numbers already.
QString toBuyText(const bom::Total &row)
{
    if (!row.toBuy || bom::isPieceUnit(row.key.unit))
        return optionalQuantity(row.toBuy);
    return calc::resultText(*row.toBuy, calc::kFormat4x3);
}

QString tooLargeNote(int count)
{
    return QStringLiteral("не учтено, количество слишком велико: %1").arg(count);
}

QString hoursText(const QString &caption, double hours, int tooLarge)
{
    QString text = caption + bom::quantityText(hours);
    if (tooLarge > 0)
        text += QStringLiteral(" (") + tooLargeNote(tooLarge) + u')';
    return text;
}

} // namespace

QString addedText(const QDateTime &added)
{
    return added.toLocalTime().toString(QStringLiteral("dd.MM.yyyy hh:mm"));
}

QString dateText(const QDate &date)
{
    return date.isValid() ? date.toString(QStringLiteral("dd.MM.yyyy")) : QString();
}

QStringList totalsHeadings()
{
    return {QStringLiteral("Материал"),          QStringLiteral("Ед."),
            QStringLiteral("Количество"),        QStringLiteral("Запас, %"),
            QStringLiteral("С запасом"),         QStringLiteral("К закупке"),
            QStringLiteral("Фасовка"),           QStringLiteral("Упаковок"),
            QStringLiteral("Цена за ед., руб."), QStringLiteral("Цена упаковки, руб."),
            QStringLiteral("Сумма, руб.")};
}

QStringList totalsHeadingTips()
{
    return {QStringLiteral("Материал, который закупается; объемы работ и составы из частей "
                           "остаются в записях"),
            QStringLiteral("Единица измерения материала"),
            QStringLiteral("Сумма по всем записям с учетом количества работ"),
            QStringLiteral("Запас сверх расчетного количества, в процентах"),
            QStringLiteral("Количество с запасом, без округления"),
            QStringLiteral("Сколько закупить: штучный материал — целыми штуками"),
            QStringLiteral("Размер одной упаковки в единицах материала; пусто — продается "
                           "поштучно или на вес"),
            QStringLiteral("Сколько упаковок закупить"),
            QStringLiteral("Цена одной единицы материала; сумма = «К закупке» × цена"),
            QStringLiteral("Цена одной упаковки; сумма = «Упаковок» × цена. Нужна фасовка"),
            QStringLiteral("Стоимость материала")};
}

QStringList totalsCells(const bom::Total &row, MoneyForm form)
{
    const bom::Terms &terms = row.terms;
    const bool perPack = terms.priceBasis == bom::PriceBasis::PerPack;
    const QString price = terms.priceKopecks ? money(*terms.priceKopecks, form) : QString();
    return {row.key.name,
            row.key.unit,
            row.counted > 0 ? bom::quantityText(row.quantity) : kDash,
            bom::percentText(terms.reservePercent),
            optionalQuantity(row.withReserve),
            toBuyText(row),
            terms.packSize ? bom::quantityText(*terms.packSize) : QString(),
            terms.packSize ? optionalQuantity(row.packs) : QString(),
            perPack ? QString() : price,
            perPack ? price : QString(),
            sumText(row, form)};
}

QString codeHeading()
{
    return QStringLiteral("Код");
}

QString codeHeadingTip()
{
    return QStringLiteral("Код ресурса по сметной норме; материалы с одним кодом — одна строка");
}

bool hasCodes(const bom::Totals &totals)
{
    return std::any_of(totals.rows.cbegin(), totals.rows.cend(),
                       [](const bom::Total &row) { return row.key.hasCode(); });
}

bool hasCodes(const bom::Bill &bill)
{
    for (const bom::Entry &entry : bill.entries) {
        for (const bom::Material &material : entry.materials) {
            if (material.key.hasCode())
                return true;
        }
    }
    return false;
}

QString hoursCaption()
{
    return QStringLiteral("Затраты труда и машин");
}

bool hasMachinePrices(const bom::Totals &totals)
{
    return std::any_of(totals.hours.cbegin(), totals.hours.cend(), [](const bom::HoursTotal &row) {
        return row.terms.priceKopecks.has_value();
    });
}

QStringList hoursHeadings(bool priced)
{
    QStringList headings{codeHeading(), QStringLiteral("Наименование"), QStringLiteral("Ед."),
                         QStringLiteral("Количество")};
    if (priced)
        headings += {QStringLiteral("Цена за ед., руб."), QStringLiteral("Сумма, руб."),
                     priceOriginHeading()};
    return headings;
}

QStringList hoursCells(const bom::HoursTotal &row, bool priced, MoneyForm form)
{
    QStringList cells{row.key.code, row.key.name, row.key.unit, bom::quantityText(row.quantity)};
    const auto money = [form](qint64 kopecks) {
        return form == MoneyForm::Plain ? bom::moneyText(kopecks) : bom::groupedMoneyText(kopecks);
    };
    if (priced)
        cells += {row.terms.priceKopecks ? money(*row.terms.priceKopecks) : QString(),
                  row.sumKopecks ? money(*row.sumKopecks) : QString(), priceOriginText(row.terms)};
    return cells;
}

QString machineMoneyText(const bom::Totals &totals, MoneyForm form)
{
    return QStringLiteral("Машины, руб.: %1").arg(money(totals.machineKopecks, form));
}

bool hasMachines(const bom::Totals &totals)
{
    return std::any_of(totals.hours.cbegin(), totals.hours.cend(), [](const bom::HoursTotal &row) {
        return row.kind == bom::MaterialKind::Machine;
    });
}

QString billTotalText(const bom::Totals &totals, MoneyForm form)
{
    const std::optional<qint64> kopecks = bom::billKopecks(totals);
    if (!kopecks)
        return QStringLiteral("Всего по ведомости: — (сумма слишком велика)");
    const auto unpriced =
        totals.unpriced +
        std::count_if(totals.hours.cbegin(), totals.hours.cend(), [](const bom::HoursTotal &row) {
            return row.kind == bom::MaterialKind::Machine && !row.sumKopecks;
        });
    QString text = QStringLiteral("Всего по ведомости: %1 руб.").arg(money(*kopecks, form));
    if (unpriced > 0)
        text += QStringLiteral(" (без цены: %1)").arg(unpriced);
    return text;
}

QString priceIndexCaption()
{
    return QStringLiteral("Индекс к ценам 01.01.2022");
}

QString priceIndexText(const bom::Bill &bill)
{
    return bill.priceIndex ? bom::quantityText(*bill.priceIndex) : QString();
}

QString priceOriginText(const bom::Terms &terms)
{
    if (!terms.priceOrigin || !terms.priceKopecks)
        return {};
    return QStringLiteral("ФСБЦ %1 × %2")
        .arg(terms.priceOrigin->level, bom::quantityText(terms.priceOrigin->index));
}

QString priceOriginHeading()
{
    return QStringLiteral("Источник цены");
}

bool hasPriceOrigins(const bom::Totals &totals)
{
    return std::any_of(totals.rows.cbegin(), totals.rows.cend(),
                       [](const bom::Total &row) { return !priceOriginText(row.terms).isEmpty(); });
}

QString linkedText(const bom::Total &row)
{
    QStringList names;
    for (const bom::MaterialKey &key : row.linked)
        names.append(key.unit.isEmpty() ? key.name : key.name + QStringLiteral(", ") + key.unit);
    return names.join(u'\n');
}

QString labourHoursText(const bom::Totals &totals)
{
    return hoursText(QStringLiteral("Затраты труда, чел.-ч: "), totals.labourHours,
                     totals.labourTooLarge);
}

QString machinistHoursText(const bom::Totals &totals)
{
    if (!totals.hasMachinists)
        return QString();
    return hoursText(QStringLiteral("Затраты труда машинистов, чел.-ч: "), totals.machinistHours,
                     totals.machinistTooLarge);
}

QStringList hoursSumTexts(const bom::Totals &totals)
{
    QStringList texts = {labourHoursText(totals), machinistHoursText(totals),
                         machineHoursText(totals)};
    texts.removeAll(QString());
    return texts;
}

QString machineHoursText(const bom::Totals &totals)
{
    return hoursText(QStringLiteral("Машины, маш.-ч: "), totals.machineHours,
                     totals.machineTooLarge);
}

QString grandTotalText(const bom::Totals &totals, MoneyForm form)
{
    QStringList notes;
    QString text;
    if (totals.overflow) {
        text = QStringLiteral("Итого: —");
        notes.append(QStringLiteral("сумма слишком велика"));
    } else {
        text = QStringLiteral("Итого: %1 руб.").arg(money(totals.grandKopecks, form));
        if (totals.unpriced > 0)
            notes.append(QStringLiteral("без цены: %1").arg(totals.unpriced));
    }
    if (totals.tooLarge > 0)
        notes.append(tooLargeNote(totals.tooLarge));
    if (!notes.isEmpty())
        text += QStringLiteral(" (") + notes.join(QStringLiteral("; ")) + u')';
    return text;
}

QString tooLargeText(const bom::Totals &totals)
{
    return totals.tooLarge > 0 ? tooLargeNote(totals.tooLarge) : QString();
}

QString unratedText(const bom::Totals &totals)
{
    return totals.unrated.isEmpty() ? QString()
                                    : QStringLiteral("без нормы: %1").arg(totals.unrated.size());
}

QString unratedNames(const bom::Totals &totals)
{
    return totals.unrated.join(QStringLiteral("\n"));
}

QString materialText(const bom::Material &material)
{
    QString text = material.key.name + u' ' + optionalQuantity(material.quantity);
    if (material.key.hasCode())
        text.prepend(material.key.code + u' ');
    if (!material.key.unit.isEmpty())
        text += u' ' + material.key.unit;
    if (const QString kind = kindText(material); !kind.isEmpty())
        text += QStringLiteral(" (%1)").arg(kind);
    return text;
}

QString kindText(const bom::Material &material)
{
    switch (material.kind) {
    case bom::MaterialKind::WorkVolume:
        return QStringLiteral("объем работ");
    case bom::MaterialKind::Composite:
        return QStringLiteral("состав");
    case bom::MaterialKind::Labour:
        return QStringLiteral("труд");
    case bom::MaterialKind::Machine:
        return QStringLiteral("машины");
    case bom::MaterialKind::Buy:
        break;
    }
    return material.partOf.isEmpty() ? QString()
                                     : QStringLiteral("в составе «%1»").arg(material.partOf);
}

QString materialsText(const bom::Entry &entry)
{
    QStringList parts;
    for (const bom::Material &material : entry.materials)
        parts.append(materialText(material));
    return parts.join(QStringLiteral("; "));
}

QString countText(int count)
{
    return count > 1 ? QStringLiteral("×%1").arg(count) : QString();
}

QStringList entriesHeadings(bool withCode)
{
    QStringList headings{QStringLiteral("Добавлено"), QStringLiteral("Работа"),
                         QStringLiteral("Кол-во"), QStringLiteral("Условия"),
                         QStringLiteral("Примечание")};
    if (withCode)
        headings.append(codeHeading());
    return headings + QStringList{QStringLiteral("Материал"), QStringLiteral("Ед."),
                                  QStringLiteral("Количество"), QStringLiteral("Вид")};
}

QStringList headCaptions()
{
    return {QStringLiteral("Объект"),   QStringLiteral("Заказчик"), QStringLiteral("Адрес"),
            QStringLiteral("Составил"), QStringLiteral("Проверил"), QStringLiteral("Дата")};
}

QStringList headTexts(const bom::Head &head)
{
    return {head.object,     head.customer,  head.address,
            head.compiledBy, head.checkedBy, dateText(head.date)};
}

} // namespace billtexts
