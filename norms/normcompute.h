#pragma once

#include "measure.h"
#include "norm.h"

#include <QList>
#include <QStringList>

#include <optional>

// A norm computed for an amount of work: every resource's amount is its rate × the volume ÷ the
// measure's multiplier, the volume typed in the measure's unit (cubic metres for «100 м3»).
namespace norms {

struct ResourceAmount
{
    NormResource resource;
    std::optional<double> amount; // none where the rate is «по проекту»
};

struct NormComputation
{
    Norm norm;
    Measure measure;
    double volume = 0;
    QList<ResourceAmount> amounts;
    double labourHours = 0; // workers' and engineers': the norm's total «1», else its lines
    double machineHours = 0;
    bool hasLabour = false;
    bool hasMachines = false;
    double machinistHours = 0; // the machinists' «2»
    bool hasMachinists = false;
};

// The measure a norm's rates are per; a norm whose measure cannot be read counts per one unit.
Measure measureOf(const Norm &norm);

// Reads the volume with the program's number reader. Throws calc::CalcError, with the program's
// usual message, for text that is no number, a volume not above zero, or an amount beyond range.
NormComputation computeNorm(const Norm &norm, const QString &volumeText);

// An amount as the window, the journal and the bill write it; «по проекту» for none.
QString amountText(const std::optional<double> &amount);
// A norm's rate as every window writes it, «Нормы», a page row's choice of a norm and the firm
// norms' history alike: as an amount is; «по проекту» for none.
QString rateText(const std::optional<double> &rate);

// A norm's work content, one operation a line, as one line: an operation that ends a sentence of
// its own is followed by the next as a sentence, the others by «; ».
QString workContentText(const QString &content);

// The journal's block of one computation.
QStringList journalBlock(const NormComputation &computation);

} // namespace norms
