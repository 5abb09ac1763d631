#include "normrate.h"

#include "measure.h"
#include "units.h"

namespace normrate {

namespace {

// Units of work a measure may be written in, with how many of the row's units one holds.
std::optional<calc::Extended> workUnits(const QString &measureUnit, const QString &work)
{
    // «100 м3 бетона» measures cubic metres of concrete: the first word is the unit.
    const QString unit = bom::normalUnit(measureUnit.section(u' ', 0, 0));
    if (unit == work)
        return 1;
    if (work == u"м2" && unit == u"га")
        return 10000;
    return std::nullopt;
}

// How many of the row's units one of the resource's holds, where that is exact.
std::optional<calc::Extended> conversion(const QString &from, const QString &to)
{
    if (from == to)
        return 1;
    const auto is = [&](const char16_t *a, const char16_t *b) {
        return from == a && to == b;
    };
    if (is(u"т", u"кг") || is(u"м3", u"л"))
        return 1000;
    if (is(u"кг", u"т") || is(u"л", u"м3"))
        return calc::Extended(1) / 1000;
    return std::nullopt;
}

Rate refused(const QString &why)
{
    return {0, QString(), why};
}

} // namespace

Rate rateOf(const norms::Norm &norm, qsizetype resource, const RowUnit &row)
{
    const std::optional<norms::Measure> measure = norms::parseMeasure(norm.measure);
    const std::optional<calc::Extended> units =
        measure ? workUnits(measure->unit, row.work) : std::nullopt;
    if (!units)
        return refused(QStringLiteral("измеритель нормы «%1» — не %2: расход на 1 %3 из нее не "
                                      "получить")
                           .arg(norm.measure, row.work, row.workName));
    if (resource < 0 || resource >= norm.resources.size())
        return refused(QStringLiteral("выберите ресурс нормы"));
    const norms::NormResource &chosen = norm.resources.at(resource);
    if (chosen.group != norms::ResourceGroup::Material)
        return refused(QStringLiteral("«%1» — не материал").arg(chosen.name));
    if (!chosen.rate)
        return refused(
            QStringLiteral("расход ресурса «%1» — по проекту, в норме его нет").arg(chosen.name));
    const QString from = bom::normalUnit(chosen.unit);
    const QString to = bom::normalUnit(row.material);
    const std::optional<calc::Extended> factor = conversion(from, to);
    if (!factor)
        return refused(QStringLiteral("ресурс «%1» измеряется в «%2», а строка — в «%3»; перевести "
                                      "нельзя")
                           .arg(chosen.name, chosen.unit, row.material));
    const calc::Extended perMeasure = calc::Extended(measure->multiplier) * *units;
    return {calc::Extended(*chosen.rate) * *factor / perMeasure, to, QString()};
}

qsizetype resourceOf(const norms::Norm &norm, const RowChoice &choice)
{
    for (qsizetype i = 0; i < norm.resources.size(); ++i) {
        const QString &code = norm.resources.at(i).code;
        if (choice.resource.isEmpty() ? code.isEmpty() && i == choice.position
                                      : code == choice.resource)
            return i;
    }
    return -1;
}

RowChoice choiceOf(const norms::Norm &norm, qsizetype resource)
{
    const QString code = norm.resources.at(resource).code;
    return {norm.fullCode(), code, code.isEmpty() ? int(resource) : -1};
}

qsizetype likelyResource(const norms::Norm &norm, const QString &material)
{
    const QString word = material.section(u' ', 0, 0);
    qsizetype first = -1;
    for (qsizetype i = 0; i < norm.resources.size(); ++i) {
        const norms::NormResource &resource = norm.resources.at(i);
        if (resource.group != norms::ResourceGroup::Material)
            continue;
        if (!word.isEmpty() && resource.name.startsWith(word, Qt::CaseInsensitive))
            return i;
        if (first < 0)
            first = i;
    }
    return first;
}

QString sourceOf(const norms::Norm &norm, qsizetype resource)
{
    const norms::NormResource &chosen = norm.resources.at(resource);
    const QString what = chosen.code.isEmpty() ? QStringLiteral("ресурс «%1»").arg(chosen.name)
                                               : QStringLiteral("ресурс ") + chosen.code;
    if (norm.firm)
        return QStringLiteral("%1, версия %2, %3; источник: %4; выбрано пользователем")
            .arg(norm.fullCode(), QString::number(norm.version), what, norm.source);
    return QStringLiteral("%1 «%2», %3; выбрано пользователем")
        .arg(norm.fullCode(), norm.name, what);
}

} // namespace normrate
