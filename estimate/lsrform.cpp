#include "lsrform.h"

#include <QRegularExpression>

#include <tuple>

namespace lsrform {

namespace {

QString territoryText(bom::Territory territory)
{
    switch (territory) {
    case bom::Territory::Mprks:
        return QStringLiteral("местности, приравненные к районам Крайнего Севера");
    case bom::Territory::Rks:
        return QStringLiteral("районы Крайнего Севера");
    case bom::Territory::Ordinary:
        break;
    }
    return {};
}

QString targetText(bom::CoefficientTarget target)
{
    switch (target) {
    case bom::CoefficientTarget::Volume:
        return QStringLiteral("объем");
    case bom::CoefficientTarget::Labour:
        return QStringLiteral("ОТ");
    case bom::CoefficientTarget::Machines:
        return QStringLiteral("ЭМ");
    case bom::CoefficientTarget::MachinistLabour:
        return QStringLiteral("ОТм");
    case bom::CoefficientTarget::Materials:
        return QStringLiteral("М");
    case bom::CoefficientTarget::LabourHours:
        return QStringLiteral("ЗТ");
    case bom::CoefficientTarget::MachinistHours:
        return QStringLiteral("ЗТм");
    }
    return {};
}

QString lineKey(lsr::LineKind kind)
{
    switch (kind) {
    case lsr::LineKind::Worker:
        return QStringLiteral("ОТ");
    case lsr::LineKind::Machine:
        return QStringLiteral("ЭМ");
    case lsr::LineKind::Machinist:
        return QStringLiteral("ОТм");
    case lsr::LineKind::Material:
    case lsr::LineKind::Design:
        return QStringLiteral("М");
    case lsr::LineKind::Unpriced:
        break;
    }
    return {};
}

Row sumRow(const char *name, const char *key, double cost, const QString &kind)
{
    Row row;
    row.kind = Row::Kind::Sum;
    row.name = QString::fromUtf8(name);
    row.key = QString::fromUtf8(key);
    row.cost = cost;
    row.workKind = kind;
    return row;
}

void position(QList<Row> &rows, const lsr::Position &position)
{
    const QString kind = workKindText(position.kind);
    Row head;
    head.kind = Row::Kind::Position;
    head.num = QString::number(position.num);
    head.basis = basisText(position);
    head.name = position.name;
    head.unit = position.unit;
    head.workKind = kind;
    if (!position.norm) {
        // A resource priced by itself: its line is the position.
        const lsr::Line &line = position.lines.value(0);
        head.quantity = line.quantity;
        head.basePrice = line.basePrice;
        head.index = line.index;
        head.price = line.price;
        head.priceCoefficient = line.priceCoefficient;
        head.cost = line.cost;
        head.key = lineKey(line.kind);
        rows.append(head);
        if (!line.basis.isEmpty()) {
            Row basis;
            basis.kind = Row::Kind::Note;
            basis.name = line.basis;
            rows.append(basis);
        }
        // Its cost counted where the estimate's sums of its kind of cost look for it.
        if (line.kind == lsr::LineKind::Machine)
            rows.append(sumRow("Итого ЭМ", "п:ЭМ", position.machines, kind));
        else
            rows.append(sumRow("Итого М", "п:М", position.materials, kind));
    } else {
        double volume = 1;
        for (const bom::Coefficient &coefficient : position.coefficients) {
            if (coefficient.target == bom::CoefficientTarget::Volume)
                volume *= coefficient.value;
        }
        head.perUnit = position.quantity;
        head.quantityCoefficient = volume;
        head.quantity = position.quantityTotal;
        rows.append(head);
        for (const bom::Coefficient &coefficient : position.coefficients) {
            Row note;
            note.kind = Row::Kind::Note;
            note.basis = coefficient.reason;
            note.name = QStringLiteral("%1 (%2 = %3)")
                            .arg(coefficient.name, targetText(coefficient.target),
                                 numberText(coefficient.value));
            rows.append(note);
        }
        if (!position.note.isEmpty()) {
            Row note;
            note.kind = Row::Kind::Note;
            note.name = position.note;
            rows.append(note);
        }
    }
    for (const lsr::Line &line : position.lines) {
        if (!position.norm)
            break;
        Row row;
        row.kind = Row::Kind::Line;
        row.basis = line.code;
        row.name = line.kind == lsr::LineKind::Machinist
                       ? QStringLiteral("в т.ч. %1, разряд %2").arg(line.name, line.grade)
                       : line.name;
        if (!line.basis.isEmpty())
            row.name += QStringLiteral(" (%1)").arg(line.basis);
        row.unit = line.unit;
        row.perUnit = line.perUnit;
        row.quantityCoefficient = line.quantityCoefficient;
        row.quantity = line.quantity;
        row.workKind = kind;
        row.key = lineKey(line.kind);
        if (line.kind != lsr::LineKind::Unpriced) {
            row.basePrice = line.index ? line.basePrice : std::nullopt;
            row.index = line.index;
            row.price = line.price;
            row.priceCoefficient = line.priceCoefficient;
            row.cost = line.cost;
        }
        rows.append(row);
    }
    if (position.norm) {
        rows.append(sumRow("Итого ОТ", "п:ОТ", position.workers, kind));
        rows.append(sumRow("Итого ЭМ", "п:ЭМ", position.machines, kind));
        rows.append(sumRow("в т.ч. ОТм", "п:ОТм", position.machinists, kind));
        rows.append(sumRow("Итого М", "п:М", position.materials, kind));
        rows.append(sumRow("ФОТ", "п:ФОТ", position.salary, kind));
    }
    for (const auto &[charge, key, caption] :
         {std::tuple{&position.overhead, "п:НР", "НР"}, {&position.profit, "п:СП", "СП"}}) {
        if (!*charge)
            continue;
        Row row;
        row.kind = Row::Kind::Charge;
        row.basis = (*charge)->reason;
        row.name = QString::fromUtf8(caption) + QStringLiteral(" от ФОТ") +
                   ((*charge)->name.isEmpty() ? QString() : QStringLiteral(": ") + (*charge)->name);
        row.unit = QStringLiteral("%");
        row.quantity = (*charge)->percentTotal;
        row.cost = (*charge)->amount;
        row.key = QString::fromUtf8(key);
        row.workKind = kind;
        rows.append(row);
    }
    Row total;
    total.kind = Row::Kind::PositionTotal;
    total.name = QStringLiteral("Всего по позиции");
    total.cost = position.total;
    total.key = QStringLiteral("Всего");
    total.workKind = kind;
    rows.append(total);
}

Row estimateRow(Row::Kind kind, const QString &name, double cost, const QString &key)
{
    Row row;
    row.kind = kind;
    row.name = name;
    row.cost = cost;
    row.key = key;
    return row;
}

} // namespace

QString bareNumber(const QString &number)
{
    // Some programs write the words into the number: «ЛСР №09-01-01».
    static const QRegularExpression words(QStringLiteral("^\\s*(ЛСР|ЛС)?\\s*№?\\s*"));
    return QString(number).remove(words);
}

QString numberText(double value)
{
    QString text = QString::number(value, 'f', 7);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    return text.replace(u'.', u',');
}

QStringList columnHeadings()
{
    return {QStringLiteral("№ п/п"),
            QStringLiteral("Обоснование"),
            QStringLiteral("Наименование работ и затрат"),
            QStringLiteral("Единица измерения"),
            QStringLiteral("на единицу измерения"),
            QStringLiteral("коэффициенты"),
            QStringLiteral("всего с учетом коэффициентов"),
            QStringLiteral("на единицу измерения в базисном уровне цен"),
            QStringLiteral("индекс"),
            QStringLiteral("на единицу измерения в текущем уровне цен"),
            QStringLiteral("коэффициенты"),
            QStringLiteral("всего в текущем уровне цен")};
}

QString quantityGroup()
{
    return QStringLiteral("Количество");
}

QString costGroup()
{
    return QStringLiteral("Сметная стоимость, руб.");
}

QString title(const lsr::Head &head)
{
    return QStringLiteral("ЛОКАЛЬНЫЙ СМЕТНЫЙ РАСЧЕТ (СМЕТА) № %1")
        .arg(bareNumber(head.terms.number));
}

QList<std::pair<QString, QString>> headLines(const lsr::Head &head)
{
    const bom::EstimateTerms &terms = head.terms;
    QString region = terms.regionName;
    if (!terms.zoneName.isEmpty() && terms.zoneName != terms.regionName)
        region += QStringLiteral(", ") + terms.zoneName;
    if (const QString territory = territoryText(terms.territory); !territory.isEmpty())
        region += QStringLiteral(" (%1)").arg(territory);
    QString level;
    if (head.currentYear > 0)
        level = QStringLiteral("в текущем уровне цен %1 квартала %2 г. (базисный уровень "
                               "01.01.%3)")
                    .arg(head.currentQuarter)
                    .arg(head.currentYear)
                    .arg(head.baseYear);
    const QList<std::pair<QString, QString>> all = {
        {QStringLiteral("Наименование стройки"), head.construction},
        {QStringLiteral("Наименование объекта"),
         head.objectNumber.isEmpty() ? head.object : head.objectNumber + u' ' + head.object},
        {QStringLiteral("Наименование работ и затрат"), terms.name},
        {QStringLiteral("Основание"), terms.reason},
        {QStringLiteral("Метод"), QStringLiteral("ресурсно-индексный")},
        {QStringLiteral("Составлен"), level},
        {QStringLiteral("Регион"), region}};
    QList<std::pair<QString, QString>> shown;
    for (const auto &line : all) {
        if (!line.second.trimmed().isEmpty())
            shown.append(line);
    }
    return shown;
}

QString workKindText(lsr::WorkKind kind)
{
    switch (kind) {
    case lsr::WorkKind::Mounting:
        return QStringLiteral("Монтажные");
    case lsr::WorkKind::Other:
        return QStringLiteral("Прочее");
    case lsr::WorkKind::Building:
        break;
    }
    return QStringLiteral("Строительные");
}

QString basisText(const lsr::Position &position)
{
    return (position.prefix + u' ' + position.code).trimmed();
}

QList<Row> rows(const lsr::Estimate &estimate)
{
    QList<Row> rows;
    for (const lsr::Section &section : estimate.sections) {
        if (section.positions.isEmpty())
            continue;
        Row head;
        head.kind = Row::Kind::Section;
        head.name = QStringLiteral("Раздел %1. %2").arg(section.code).arg(section.name);
        rows.append(head);
        for (const lsr::Position &each : section.positions)
            position(rows, each);
        rows.append(estimateRow(
            Row::Kind::SectionTotal,
            QStringLiteral("Итого по разделу %1 %2").arg(section.code).arg(section.name),
            section.totals.total, QStringLiteral("Всего")));
    }
    const lsr::Totals &totals = estimate.totals;
    rows.append(estimateRow(Row::Kind::Caption, QStringLiteral("ИТОГИ ПО СМЕТЕ"), 0, QString()));
    rows.last().cost.reset();
    for (const auto &[summary, kind, name] :
         {std::tuple{&totals.building, lsr::WorkKind::Building, "Строительные работы"},
          {&totals.mounting, lsr::WorkKind::Mounting, "Монтажные работы"},
          {&totals.other, lsr::WorkKind::Other, "Прочие работы"}}) {
        if (summary->any)
            rows.append(estimateRow(Row::Kind::EstimateSum, QString::fromUtf8(name), summary->price,
                                    workKindText(kind)));
    }
    const lsr::Summary &all = totals.all;
    rows.append(estimateRow(Row::Kind::EstimateSum,
                            QStringLiteral("в том числе: оплата труда (ОТ)"), all.workers,
                            QStringLiteral("п:ОТ")));
    rows.append(estimateRow(Row::Kind::EstimateSum,
                            QStringLiteral("эксплуатация машин и механизмов (ЭМ)"), all.machines,
                            QStringLiteral("п:ЭМ")));
    rows.append(estimateRow(Row::Kind::EstimateSum,
                            QStringLiteral("в т.ч. оплата труда машинистов (ОТм)"), all.machinists,
                            QStringLiteral("п:ОТм")));
    rows.append(estimateRow(Row::Kind::EstimateSum, QStringLiteral("материальные ресурсы (М)"),
                            all.materials, QStringLiteral("п:М")));
    rows.append(estimateRow(Row::Kind::EstimateSum, QStringLiteral("накладные расходы (НР)"),
                            all.overhead, QStringLiteral("п:НР")));
    rows.append(estimateRow(Row::Kind::EstimateSum, QStringLiteral("сметная прибыль (СП)"),
                            all.profit, QStringLiteral("п:СП")));
    rows.append(estimateRow(Row::Kind::EstimateTotal, QStringLiteral("ВСЕГО по смете"),
                            totals.total, QStringLiteral("Всего")));
    return rows;
}

QList<std::pair<QString, QString>> signatures(const lsr::Head &head)
{
    return {{QStringLiteral("Составил"), head.composer},
            {QStringLiteral("Проверил"), head.verifier}};
}

} // namespace lsrform
