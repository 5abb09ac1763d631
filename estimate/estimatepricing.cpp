#include "estimatepricing.h"

#include "normbrowse.h"
#include "normlookup.h"
#include "subjects.h"

#include <QSet>
#include <QUuid>

namespace lsr {

namespace {

// The codes whose prices an estimate of the bill may ask for: the norms' lines, the machines'
// machinists, the concrete materials chosen, the typed prices and the pages' linked materials.
QSet<QString> codesOf(const bom::Bill &bill, const Pricing &pricing)
{
    QSet<QString> codes;
    for (const norms::Norm &norm : pricing.norms)
        for (const norms::NormResource &resource : norm.resources)
            if (!resource.code.isEmpty())
                codes.insert(resource.code);
    for (const bom::Entry &entry : bill.entries)
        for (const bom::Material &material : entry.materials)
            if (material.key.hasCode())
                codes.insert(material.key.code);
    for (const bom::ResourceLink &link : bill.links)
        codes.insert(link.code);
    if (bill.estimate) {
        for (const bom::TypedPrice &price : bill.estimate->prices)
            codes.insert(price.code);
        for (const bom::PositionTerms &position : bill.estimate->positions)
            for (const bom::DesignChoice &choice : position.designChoices)
                codes.insert(choice.code);
    }
    return codes;
}

QString listFailure(norms::NormDatabase &database, const bom::EstimateTerms *terms,
                    Pricing &pricing)
{
    if (!terms || terms->priceList.isNull())
        return QStringLiteral("Не выбран список цен региона: выберите сплит-форму квартала, по "
                              "которой считается смета.");
    const bom::PriceListRef &ref = terms->priceList;
    const std::optional<norms::StoredPriceList> list = norms::storedPriceList(database, ref);
    if (!list)
        return QStringLiteral("Списка цен «%1» нет в базе норм: загрузите его сплит-форму "
                              "(«Нормы» → «Загрузить цены региона») или выберите другой.")
            .arg(norms::priceListName({ref.subject, ref.zone, ref.year, ref.quarter}));
    pricing.list = list->title;
    pricing.listName = list->name;
    pricing.regionCode = subjectCode(list->title.subject).value_or(-1);
    if (terms->regionCode >= 0 && pricing.regionCode >= 0 &&
        terms->regionCode != pricing.regionCode)
        return QStringLiteral("Список цен «%1» — цены региона %2 «%3», а смета составляется для "
                              "региона %4 «%5»: выберите список цен своего региона.")
            .arg(list->name, QString::number(pricing.regionCode), list->title.subject,
                 QString::number(terms->regionCode), terms->regionName);
    return {};
}

QString listOfIndexesName(const norms::PriceListTitle &list)
{
    return QStringLiteral("Сплит-форма индексов и сметных цен для ценовой зоны %1 на %2 квартал "
                          "%3 года")
        .arg(list.zone.isEmpty() ? list.subject : list.zone, QString::number(list.quarter),
             QString::number(list.year));
}

} // namespace

Pricing loadPricing(norms::NormDatabase *database, const bom::Bill &bill)
{
    Pricing pricing;
    if (!database) {
        pricing.failure = QStringLiteral("Нет базы норм: смету не из чего считать. Загрузите "
                                         "нормы и цены региона в окне «Нормы».");
        return pricing;
    }
    pricing.rates = norms::rates::currentTables(database);
    for (const bom::Entry &entry : bill.entries) {
        if (entry.normCode.isEmpty() || pricing.norms.contains(entry.normCode))
            continue;
        if (const std::optional<qint64> id = norms::findNorm(*database, entry.normCode))
            if (std::optional<norms::Norm> norm = norms::readNorm(*database, *id))
                pricing.norms.insert(entry.normCode, *norm);
    }
    QSet<QString> codes = codesOf(bill, pricing);
    const QSet<QString> named = codes;
    for (const QString &code : named) {
        if (std::optional<norms::CatalogueResource> resource =
                norms::catalogueResource(*database, code)) {
            if (!resource->driverCode.isEmpty())
                codes.insert(resource->driverCode);
            pricing.catalogue.insert(code, *resource);
        }
    }
    pricing.failure = listFailure(*database, bill.estimate ? &*bill.estimate : nullptr, pricing);
    if (pricing.list.year == 0)
        return pricing;
    const std::optional<norms::StoredPriceList> list =
        norms::storedPriceList(*database, norms::priceListRef(pricing.list));
    for (const QString &code : std::as_const(codes))
        if (std::optional<norms::ResourcePrice> price =
                norms::resourcePrice(*database, list->id, code))
            pricing.prices.insert(code, *price);
    return pricing;
}

Pricing loadPricing(norms::NormDatabase &database, const bom::Bill &bill)
{
    return loadPricing(&database, bill);
}

QList<bom::LegalAct> defaultLegalActs()
{
    using Role = bom::LegalAct::Role;
    const QString gsn = QStringLiteral("ГСН");
    return {
        {Role::Main, QStringLiteral("Приказ Минстроя России от 30.12.2021 № 1046/пр"), gsn,
         QDate(2025, 8, 14), 535,
         QStringLiteral("Приказы Минстроя России от 18.05.2022 № 378/пр, от 26.08.2022 № 703/пр, "
                        "от 26.10.2022 № 905/пр, от 27.12.2022 № 1133/пр, от 10.02.2023 "
                        "№ 84/пр, от 11.05.2023 № 335/пр, от 02.08.2023 № 551/пр, от 14.11.2023 "
                        "№ 817/пр, от 16.02.2024 № 102/пр, от 13.05.2024 № 323/пр, от "
                        "09.08.2024 № 524/пр, от 07.11.2024 № 747/пр, от 07.02.2025 № 69/пр, "
                        "от 21.03.2025 № 30/пр, от 19.05.2025 № 299/пр, от 14.08.2025 "
                        "№ 490/пр")},
        {Role::Methodology, QStringLiteral("Приказ Минстроя России от 04.08.2020 № 421/пр"), gsn,
         QDate(2025, 8, 14), 532,
         QStringLiteral("Приказы Минстроя России от 07.07.2022 № 557/пр, от 30.01.2024 "
                        "№ 55/пр")},
        {Role::Overheads,
         QStringLiteral("Методика по разработке и применению нормативов накладных расходов при "
                        "определении сметной стоимости строительства, реконструкции, "
                        "капитального ремонта, сноса объектов капитального строительства. "
                        "Утверждена приказом Минстроя России от 21 декабря 2020 г. № 812/пр."),
         gsn, QDate(2021, 4, 16), 377,
         QStringLiteral("Приказы Минстроя России № 812/пр от 21.12.2020, № 636/пр от "
                        "02.09.2021, № 611/пр от 26.07.2022")},
        {Role::Profits,
         QStringLiteral("Методика по разработке и применению нормативов сметной прибыли при "
                        "определении сметной стоимости строительства, реконструкции, "
                        "капитального ремонта, сноса объектов капитального строительства. "
                        "Утверждена приказом Минстроя России от 11 декабря 2020 г. № 774/пр."),
         gsn, QDate(2021, 4, 16), 376,
         QStringLiteral("Приказы Минстроя России № 774/пр от 11.12.2020, № 317/пр от "
                        "22.04.2022")},
        {Role::Indexes, QString(), QStringLiteral("Справочная информация"), QDate(), 0, QString()},
    };
}

void choosePriceList(bom::EstimateTerms &terms, const norms::PriceListTitle &list)
{
    terms.priceList = norms::priceListRef(list);
    const std::optional<int> code = subjectCode(list.subject);
    terms.regionCode = code.value_or(-1);
    terms.regionName = code ? subjectName(*code) : list.subject;
    terms.zoneName = list.zone;
    for (bom::LegalAct &act : terms.legal)
        if (act.role == bom::LegalAct::Role::Indexes)
            act.name = listOfIndexesName(list);
}

bom::EstimateTerms defaultTerms(const bom::Bill &bill,
                                const std::optional<norms::PriceListTitle> &list)
{
    bom::EstimateTerms terms;
    terms.guid = QUuid::createUuid().toString(QUuid::WithBraces).toUpper();
    terms.number = bill.head.number.trimmed();
    terms.name = bill.head.object.trimmed();
    if (!terms.number.isEmpty())
        terms.reason = QStringLiteral("Ведомость объемов работ № ") + terms.number;
    terms.legal = defaultLegalActs();
    if (list)
        choosePriceList(terms, *list);
    return terms;
}

} // namespace lsr
