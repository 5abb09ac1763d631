#pragma once

#include "figurebasis.h"

#include <QStringList>

#include <functional>

// The one place where the way a figure is formed becomes the text shown beside it. The rates,
// their units and their sources come from the computations' own tables, so the text and the
// figure cannot disagree.
namespace explanations {

// A rate as the explanations show it: as every window writes a norm's rate (norms::rateText).
QString rateText(calc::Extended rate);

// The material named by a caption: the caption without its unit.
QString materialOf(const QString &caption);

// variant names the work the rate belongs to when the basis carries no note of its own.
QString of(const QString &caption, const calc::FigureBasis &basis, const QString &variant = {});

QStringList of(const QStringList &captions, const calc::FigureBases &bases);

// The texts of every row for each choice from -1 (none chosen) to count - 1, none first.
QList<QStringList> byChoice(int count, const QStringList &captions,
                            const std::function<calc::FigureBases(int)> &basesOf);

} // namespace explanations
