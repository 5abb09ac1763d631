#pragma once

#include "norm.h"

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>

#include <optional>

// The firm's own norm as the user writes it, its versions, and the checks of what is typed.
namespace norms::firm {

// The code prefix of the firm's collection until a firm file names its own.
QString defaultPrefix();
// The resource category type that makes a norm file, and the collection, the firm's.
QString firmCategoryType();

// One version of a firm norm as the editor fills it and the history keeps it.
struct Draft
{
    QString code; // «ФН-06-01-001-01», unique among the firm's norms
    QString name;
    QString measure; // «100 м3», «1 т», «шт»
    QString content;
    QString source; // «Калькуляция № 12 от 03.03.2026, утв. главным инженером»; required
    QString origin; // the federal norm it was made from, «ГЭСН 06-01-001-01»; may be empty
    QList<NormResource> resources;
    // The references to the overhead and profit norms, taken from the federal norm.
    QList<Reason> reasons = {};

    friend bool operator==(const Draft &, const Draft &) = default;
};

struct Version
{
    int number = 0;
    QDateTime savedAt;
    QString login;
    QString changes; // what changed against the version before, in Russian
    Draft draft;

    friend bool operator==(const Version &, const Version &) = default;
};

// A draft and a version in the one JSON form that a conflict keeps and a fingerprint hashes:
// the fields by name, the resources as resourcesJson writes them.
QJsonObject draftJson(const Draft &draft);
Draft draftFromJson(const QJsonObject &object);
QJsonObject versionJson(const Version &version);
Version versionFromJson(const QJsonObject &object);

// A moment as a firm file and a kept conflict write it: ISO 8601 with the offset from UTC.
QString isoMoment(const QDateTime &at);

// What the draft says, whatever the moment and the author: equal drafts, equal fingerprints.
QByteArray fingerprint(const Draft &draft);
// The same version as another: same content, saved at the same moment by the same login.
bool sameVersion(const Version &a, const Version &b);

// The user's login name, for the history.
QString currentLogin();

// A text as the journal can write it: «м²» → «м2», «м³» → «м3», «≤» → «<=», «≥» → «>=».
QString journalSpelling(const QString &text);
// Why a text that goes into the journal cannot stay as typed: the first character the journal's
// code page lacks, with the text to write instead; empty when the journal keeps it all.
QString journalProblem(const QString &text);

// Checks of one field as it is typed; the reason in Russian, empty when the text is good.
QString codeProblem(const QString &code);
QString nameProblem(const QString &name);
// A number and a unit («100 м3», «1 т»), or a unit alone («шт», one of it).
QString measureProblem(const QString &measure);
QString sourceProblem(const QString &source);
// A rate per measure: a number not below zero in the regional notation («0,025»).
QString rateProblem(const QString &rate);
std::optional<double> readRate(const QString &rate);
// A rate as the editor's field holds it: every digit, the regional decimal separator, so that a
// norm saved untouched keeps its rates. Shown elsewhere, a rate is norms::rateText.
QString rateFieldText(double rate);

// What is wrong with a draft as a whole, field by field; empty when it can be saved.
struct Problem
{
    enum class Field
    {
        Code,
        Name,
        Measure,
        Source,
        Resource,
    };
    Field field;
    int resource = -1; // the resource line, for Field::Resource
    QString reason;
};
QList<Problem> problemsOf(const Draft &draft);

// A federal norm as the start of a firm one: its code after the firm's prefix, its name,
// measure, content and resources, with the norm named as the origin; the source is left to the
// user.
Draft draftFrom(const Norm &federal, const QString &prefix = defaultPrefix());
// A firm norm's current version as a draft.
Draft draftOf(const Norm &firmNorm);

// What changed from one version to the next, in a line of Russian: «норма ресурса «Гвозди
// строительные»: 0,005 → 0,006; изменен источник». «создана» for a first version.
QString changesBetween(const std::optional<Draft> &before, const Draft &after);

// Resources in the form a version keeps them in its row and a conflict keeps them.
QString resourcesJson(const QList<NormResource> &resources);
QList<NormResource> resourcesFromJson(const QString &json);
// References in the form a version keeps them: empty for none.
QString reasonsJson(const QList<Reason> &reasons);
QList<Reason> reasonsFromJson(const QString &json);

} // namespace norms::firm
