#pragma once

#include "extended.h"
#include "norm.h"

#include <QString>

// The norm a user chose for a row of a page that has no published rate, kept by what stays when
// the base is imported again: the norm's full code, and the resource's code or, for a resource
// without one, its place among the norm's resources.
struct RowChoice
{
    QString norm;      // «ГЭСН 06-01-001-01», «ФН-06-01-001-01»
    QString resource;  // the resource's code; empty when it has none
    int position = -1; // the resource's place in the norm, counted from 0

    friend bool operator==(const RowChoice &, const RowChoice &) = default;
};

// How a resource of a norm becomes the rate of a page's row: per one unit of the row's work, in
// the row's unit, or refused with the reason.
namespace normrate {

struct RowUnit
{
    QString work;     // «м3», «м2»: the unit of work the page's rates are per
    QString workName; // «м3 бетона»
    QString material; // the row's unit, «кг», «л», «м3»
};

struct Rate
{
    calc::Extended perUnit = 0;
    QString unit;    // of the figure
    QString refusal; // why the resource gives the row no rate; empty when it does
};

// The resource's rate divided by the norm's measure («100 м3» → ÷ 100) and converted to the
// row's unit where the conversion is exact.
Rate rateOf(const norms::Norm &norm, qsizetype resource, const RowUnit &row);

// The resource a choice names, -1 when the norm has it no more.
qsizetype resourceOf(const norms::Norm &norm, const RowChoice &choice);
RowChoice choiceOf(const norms::Norm &norm, qsizetype resource);

// The resource a row most likely means: the first material whose name begins with the first
// word of the row's material, else the first material; -1 for a norm without materials.
qsizetype likelyResource(const norms::Norm &norm, const QString &material);

// The norm and the resource as an explanation names them, with the firm norm's version and
// source.
QString sourceOf(const norms::Norm &norm, qsizetype resource);

} // namespace normrate
