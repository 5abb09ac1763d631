#pragma once

#include "../norms/splitform.h"
#include "bill.h"
#include "estimatepricing.h"
#include "normbill.h"
#include "normbrowse.h"
#include "normdb.h"
#include "normimport.h"
#include "normlookup.h"
#include "priceimport.h"

#include <QDir>
#include <QFile>

// A norm base for local estimates as the published files make it: two norms of a collection,
// the first with its workers and a material, the second with a «по проекту» line and two
// overhead references, and the split form of Moscow's second quarter of 2026 pricing them.
namespace estimatebase {

inline constexpr char kNorms[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<base BaseName="ФСНБ-2022" PriceLevel="01.01.2022">
 <ResourcesDirectory>
  <ResourceCategory Type="СТРОИТЕЛЬНЫЕ РАБОТЫ" CodePrefix="ГЭСН">
   <Section Name="Бетонные и железобетонные конструкции монолитные" Type="Сборник" Code="06">
    <Section Name="Бетонные конструкции" Type="Раздел" Code="1">
     <Section Name="Фундаменты" Type="Таблица" Code="06-01-001">
      <NameGroup BeginName="Устройство бетонных фундаментов общего назначения объемом:">
       <Work Code="06-01-001-02" EndName="до 5 м3" MeasureUnit="100 м3">
        <Resources>
         <Resource Code="1-100-30" EndName="Средний разряд работы 3,0" Quantity="180"/>
         <Resource Code="01.7.15.06-0111" EndName="Гвозди строительные" MeasureUnit="т" Quantity="0.005"/>
        </Resources>
        <NrSp><ReasonItem Nr="Пр/812-006.0" Sp="Пр/774-006.0"/></NrSp>
       </Work>
       <Work Code="06-01-001-01" EndName="до 3 м3" MeasureUnit="100 м3">
        <Resources>
         <Resource Code="1-100-30" EndName="Средний разряд работы 3,0" Quantity="200"/>
         <AbstractResource Code="04.1.02.05" Name="Смеси бетонные" MeasureUnit="м3" Quantity="П" TechnologyGroups="04.1.02.05.01"/>
        </Resources>
        <NrSp><ReasonItem Nr="Пр/812-006.0" Sp="Пр/774-006.0"/><ReasonItem Nr="Пр/812-006.1" Sp="Пр/774-006.1"/></NrSp>
       </Work>
      </NameGroup>
     </Section>
    </Section>
   </Section>
  </ResourceCategory>
 </ResourcesDirectory>
</base>
)";

// The base at folder/data/norms.db, as the program finds it when run in folder; the reason
// when it cannot be made.
inline QString write(const QString &folder)
{
    const QString base = folder + QStringLiteral("/data/norms.db");
    QFile norms(folder + QStringLiteral("/ГЭСН.xml"));
    if (!norms.open(QIODevice::WriteOnly) || norms.write(kNorms) <= 0)
        return QStringLiteral("norms not written");
    norms.close();
    if (const QString reason = norms::importFiles(base, {norms.fileName()}).reason;
        !reason.isEmpty())
        return reason;
    splitform::Form form;
    form.resources = {
        {"1-100-30", "Средний разряд работы 3,0", "чел.-ч", "", "", "", "", "600,00", ""},
        {"01.7.15.06-0111", "Гвозди строительные", "т", "", "100 000,00", "01.7.15.06", "Гвозди",
         "-", "1,2"},
    };
    const QString list = folder + QStringLiteral("/split.csv");
    if (!splitform::writeCsv(list, form, u';', false))
        return QStringLiteral("split form not written");
    return norms::importPriceLists(base, {list}).reason;
}

// A bill of the norms, 250 м3 each, with the head and the estimate's terms that expertise needs:
// Moscow's list, the letter of indexes and the act of the labour prices.
inline bom::Bill bill(const QString &folder, const QStringList &codes)
{
    bom::Bill made;
    made.head.object = QStringLiteral("Склад");
    made.head.number = QStringLiteral("02-01-01");
    made.head.compiledBy = QStringLiteral("Иванов И. И.");
    made.head.checkedBy = QStringLiteral("Петров П. П.");
    made.head.constructionSite = QStringLiteral("Складской комплекс");
    norms::NormDatabase::Opened opened =
        norms::NormDatabase::open(folder + QStringLiteral("/data/norms.db"));
    for (const QString &code : codes) {
        const std::optional<qint64> id = norms::findNorm(*opened.database, code);
        const norms::NormComputation computed = norms::computeNorm(
            *norms::readNorm(*opened.database, id.value_or(0)), QStringLiteral("250"));
        made.entries.append(norms::billEntry(computed, QDateTime(QDate(2026, 12, 1), QTime(9, 0))));
    }
    made.estimate =
        lsr::defaultTerms(made, norms::PriceListTitle{QStringLiteral("г. Москва"),
                                                      QStringLiteral("г. Москва"), 2026, 2});
    for (bom::LegalAct &act : made.estimate->legal)
        if (act.role == bom::LegalAct::Role::Indexes) {
            act.date = QDate(2026, 5, 15);
            act.registerNumber = 1120;
        }
    made.estimate->salaryAct = QStringLiteral("Приказ Комитета города Москвы по ценовой политике в "
                                              "строительстве от 10.04.2026 № 20");
    return made;
}

} // namespace estimatebase
