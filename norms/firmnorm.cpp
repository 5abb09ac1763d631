#include "firmnorm.h"

#include "calcerror.h"
#include "inputnumber.h"
#include "journalfile.h"
#include "measure.h"
#include "normcompute.h"
#include "resulttext.h"

#include <QCryptographicHash>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <cmath>

namespace norms::firm {

namespace {

QString lineTitle(const NormResource &resource)
{
    return resource.name.isEmpty() ? resource.code : u'«' + resource.name + u'»';
}

} // namespace

QString defaultPrefix()
{
    return QStringLiteral("ФН");
}

QString firmCategoryType()
{
    return QStringLiteral("ФИРМЕННЫЕ НОРМЫ");
}

QJsonObject draftJson(const Draft &draft)
{
    QJsonObject object{{QStringLiteral("code"), draft.code},
                       {QStringLiteral("name"), draft.name},
                       {QStringLiteral("measure"), draft.measure},
                       {QStringLiteral("content"), draft.content},
                       {QStringLiteral("source"), draft.source},
                       {QStringLiteral("origin"), draft.origin},
                       {QStringLiteral("resources"), resourcesJson(draft.resources)}};
    // Only where there are any, so that a version without them keeps its fingerprint.
    if (!draft.reasons.isEmpty())
        object.insert(QStringLiteral("reasons"), reasonsJson(draft.reasons));
    return object;
}

Draft draftFromJson(const QJsonObject &object)
{
    const auto text = [&object](const char *key) {
        return object.value(QLatin1StringView(key)).toString();
    };
    return {text("code"),
            text("name"),
            text("measure"),
            text("content"),
            text("source"),
            text("origin"),
            resourcesFromJson(text("resources")),
            reasonsFromJson(text("reasons"))};
}

QJsonObject versionJson(const Version &version)
{
    QJsonObject object = draftJson(version.draft);
    object.insert(QStringLiteral("number"), version.number);
    object.insert(QStringLiteral("savedAt"), isoMoment(version.savedAt));
    object.insert(QStringLiteral("login"), version.login);
    object.insert(QStringLiteral("changes"), version.changes);
    return object;
}

Version versionFromJson(const QJsonObject &object)
{
    Version version;
    version.number = object.value(QLatin1StringView("number")).toInt();
    version.savedAt = QDateTime::fromString(object.value(QLatin1StringView("savedAt")).toString(),
                                            Qt::ISODateWithMs);
    version.login = object.value(QLatin1StringView("login")).toString();
    version.changes = object.value(QLatin1StringView("changes")).toString();
    version.draft = draftFromJson(object);
    return version;
}

QString isoMoment(const QDateTime &at)
{
    // To the millisecond only when there is one, so that a moment reads back equal.
    const QDateTime withOffset = at.toOffsetFromUtc(at.offsetFromUtc());
    return withOffset.toString(at.time().msec() == 0 ? Qt::ISODate : Qt::ISODateWithMs);
}

QByteArray fingerprint(const Draft &draft)
{
    // Keys are written in their sorted order, so the bytes hashed stay those of earlier programs.
    return QCryptographicHash::hash(QJsonDocument(draftJson(draft)).toJson(QJsonDocument::Compact),
                                    QCryptographicHash::Sha256)
        .toHex();
}

bool sameVersion(const Version &a, const Version &b)
{
    return a.savedAt == b.savedAt && a.login == b.login &&
           fingerprint(a.draft) == fingerprint(b.draft);
}

QString currentLogin()
{
    for (const char *variable : {"USER", "USERNAME", "LOGNAME"}) {
        const QString login = qEnvironmentVariable(variable);
        if (!login.isEmpty())
            return login;
    }
    return QStringLiteral("неизвестный пользователь");
}

QString journalSpelling(const QString &text)
{
    QString spelled = text;
    spelled.replace(u'²', u'2').replace(u'³', u'3');
    spelled.replace(u'≤', QStringLiteral("<=")).replace(u'≥', QStringLiteral(">="));
    return spelled;
}

QString journalProblem(const QString &text)
{
    const QString lost = journalfile::firstUnwritable(text);
    if (lost.isEmpty())
        return {};
    const QString spelled = journalSpelling(text);
    if (!journalfile::firstUnwritable(spelled).isEmpty())
        return QStringLiteral("знак «%1» не сохранится в журнале — замените его").arg(lost);
    return QStringLiteral("знак «%1» не сохранится в журнале — напишите «%2»").arg(lost, spelled);
}

QString codeProblem(const QString &code)
{
    if (code.trimmed().isEmpty())
        return QStringLiteral("Введите код нормы, например «ФН-06-01-001-01».");
    for (const QChar c : code)
        if (c.isSpace())
            return QStringLiteral("Код нормы пишется без пробелов.");
    return journalProblem(code);
}

QString nameProblem(const QString &name)
{
    return name.trimmed().isEmpty() ? QStringLiteral("Введите наименование нормы.")
                                    : journalProblem(name);
}

QString measureProblem(const QString &measure)
{
    if (measure.trimmed().isEmpty())
        return QStringLiteral("Введите измеритель: число и единицу, например «100 м3», «1 т» или "
                              "«шт».");
    if (const QString lost = journalProblem(measure); !lost.isEmpty())
        return lost;
    if (!parseMeasure(measure))
        return QStringLiteral("Измеритель — число больше нуля и единица, например «100 м3», «1 т» "
                              "или «шт».");
    return {};
}

QString sourceProblem(const QString &source)
{
    return source.trimmed().isEmpty()
               ? QStringLiteral("Укажите источник нормы, например «Калькуляция № 12 от "
                                "03.03.2026, утв. главным инженером».")
               : journalProblem(source);
}

std::optional<double> readRate(const QString &rate)
{
    try {
        const calc::Extended value = calc::readInputNumber(rate, calc::decimalSeparator());
        const double kept = double(value);
        if (!(value >= 0) || !std::isfinite(kept))
            return std::nullopt;
        return kept;
    } catch (const calc::CalcError &) {
        return std::nullopt;
    }
}

QString rateProblem(const QString &rate)
{
    if (rate.trimmed().isEmpty())
        return QStringLiteral("Введите норму расхода на измеритель.");
    if (readRate(rate))
        return {};
    return QStringLiteral("Норма расхода — число не меньше нуля, например «0") +
           calc::decimalSeparator() + QStringLiteral("025».");
}

QString rateFieldText(double rate)
{
    return calc::resultText(calc::Extended(rate), calc::ResultFormat{15, 1});
}

QList<Problem> problemsOf(const Draft &draft)
{
    QList<Problem> problems;
    const auto check = [&problems](Problem::Field field, const QString &reason, int line = -1) {
        if (!reason.isEmpty())
            problems.append({field, line, reason});
    };
    check(Problem::Field::Code, codeProblem(draft.code));
    check(Problem::Field::Name, nameProblem(draft.name));
    check(Problem::Field::Measure, measureProblem(draft.measure));
    check(Problem::Field::Source, sourceProblem(draft.source));
    if (draft.resources.isEmpty())
        check(Problem::Field::Resource, QStringLiteral("Добавьте хотя бы один ресурс."));
    for (int line = 0; line < draft.resources.size(); ++line) {
        const NormResource &resource = draft.resources[line];
        if (resource.name.trimmed().isEmpty())
            check(Problem::Field::Resource,
                  QStringLiteral("Строка %1: введите наименование ресурса.").arg(line + 1), line);
        else if (resource.unit.trimmed().isEmpty())
            check(Problem::Field::Resource,
                  QStringLiteral("Строка %1: введите единицу измерения.").arg(line + 1), line);
        else if (const QString lost = journalProblem(resource.name).isEmpty()
                                          ? journalProblem(resource.unit)
                                          : journalProblem(resource.name);
                 !lost.isEmpty())
            check(Problem::Field::Resource,
                  QStringLiteral("Строка %1: %2").arg(QString::number(line + 1), lost), line);
        else if (resource.rate && !(*resource.rate >= 0))
            check(Problem::Field::Resource,
                  QStringLiteral("Строка %1: норма расхода — число не меньше нуля.").arg(line + 1),
                  line);
    }
    return problems;
}

Draft draftFrom(const Norm &federal, const QString &prefix)
{
    return {prefix + u'-' + federal.code,
            federal.name,
            federal.measure,
            federal.content,
            QString(),
            federal.fullCode(),
            federal.resources,
            federal.reasons};
}

Draft draftOf(const Norm &firmNorm)
{
    return {firmNorm.code,   firmNorm.name,   firmNorm.measure,   firmNorm.content,
            firmNorm.source, firmNorm.origin, firmNorm.resources, firmNorm.reasons};
}

QString changesBetween(const std::optional<Draft> &before, const Draft &after)
{
    if (!before)
        return QStringLiteral("создана");
    QStringList changes;
    const Draft &was = *before;
    if (was.code != after.code)
        changes.append(QStringLiteral("код: %1 → %2").arg(was.code, after.code));
    if (was.name != after.name)
        changes.append(QStringLiteral("изменено наименование"));
    if (was.measure != after.measure)
        changes.append(QStringLiteral("измеритель: %1 → %2").arg(was.measure, after.measure));
    QHash<QString, const NormResource *> earlier;
    for (const NormResource &resource : was.resources)
        earlier.insert(lineKey(resource), &resource);
    QSet<QString> kept;
    for (const NormResource &resource : after.resources) {
        const QString key = lineKey(resource);
        const NormResource *old = earlier.value(key);
        if (!old) {
            changes.append(QStringLiteral("добавлен ресурс %1: %2")
                               .arg(lineTitle(resource), rateText(resource.rate)));
            continue;
        }
        kept.insert(key);
        if (old->rate != resource.rate)
            changes.append(
                QStringLiteral("норма ресурса %1: %2 → %3")
                    .arg(lineTitle(resource), rateText(old->rate), rateText(resource.rate)));
        else if (old->name != resource.name || old->unit != resource.unit ||
                 old->group != resource.group || old->code != resource.code)
            changes.append(QStringLiteral("изменен ресурс %1").arg(lineTitle(resource)));
    }
    for (const NormResource &resource : was.resources)
        if (!kept.contains(lineKey(resource)))
            changes.append(QStringLiteral("удален ресурс %1").arg(lineTitle(resource)));
    if (was.content != after.content)
        changes.append(QStringLiteral("изменен состав работ"));
    if (was.source != after.source)
        changes.append(QStringLiteral("изменен источник"));
    if (was.origin != after.origin)
        changes.append(QStringLiteral("изменена исходная норма"));
    if (was.reasons != after.reasons)
        changes.append(QStringLiteral("изменены нормативы НР и СП"));
    return changes.isEmpty() ? QStringLiteral("без изменений") : changes.join(QStringLiteral("; "));
}

QString resourcesJson(const QList<NormResource> &resources)
{
    QJsonArray lines;
    for (const NormResource &resource : resources) {
        QJsonObject line{{QStringLiteral("code"), resource.code},
                         {QStringLiteral("name"), resource.name},
                         {QStringLiteral("unit"), resource.unit},
                         {QStringLiteral("group"), groupKey(resource.group)}};
        // Written with every digit, so that a rate reads back as the same double.
        if (resource.rate)
            line.insert(QStringLiteral("rate"), QString::number(*resource.rate, 'g', 17));
        if (resource.abstract) {
            line.insert(QStringLiteral("abstract"), true);
            line.insert(QStringLiteral("technologyGroups"), resource.technologyGroups);
        }
        lines.append(line);
    }
    return QString::fromUtf8(QJsonDocument(lines).toJson(QJsonDocument::Compact));
}

QList<NormResource> resourcesFromJson(const QString &json)
{
    QList<NormResource> resources;
    const QJsonArray lines = QJsonDocument::fromJson(json.toUtf8()).array();
    for (const QJsonValue &value : lines) {
        const QJsonObject line = value.toObject();
        NormResource resource;
        resource.code = line.value(QStringLiteral("code")).toString();
        resource.name = line.value(QStringLiteral("name")).toString();
        resource.unit = line.value(QStringLiteral("unit")).toString();
        resource.group = groupOfKey(line.value(QStringLiteral("group")).toString())
                             .value_or(ResourceGroup::Material);
        if (line.contains(QStringLiteral("rate"))) {
            bool ok = false;
            const double rate = line.value(QStringLiteral("rate")).toString().toDouble(&ok);
            if (ok)
                resource.rate = rate;
        }
        resource.abstract = line.value(QStringLiteral("abstract")).toBool();
        resource.technologyGroups = line.value(QStringLiteral("technologyGroups")).toString();
        resources.append(resource);
    }
    return resources;
}

QString reasonsJson(const QList<Reason> &reasons)
{
    if (reasons.isEmpty())
        return {};
    QJsonArray items;
    for (const Reason &reason : reasons)
        items.append(
            QJsonObject{{QStringLiteral("nr"), reason.nr}, {QStringLiteral("sp"), reason.sp}});
    return QString::fromUtf8(QJsonDocument(items).toJson(QJsonDocument::Compact));
}

QList<Reason> reasonsFromJson(const QString &json)
{
    QList<Reason> reasons;
    for (const QJsonValue &value : QJsonDocument::fromJson(json.toUtf8()).array()) {
        const QJsonObject item = value.toObject();
        reasons.append({item.value(QStringLiteral("nr")).toString(),
                        item.value(QStringLiteral("sp")).toString()});
    }
    return reasons;
}

} // namespace norms::firm
