#pragma once

#include "lsr.h"

#include <QByteArray>
#include <QDateTime>

#include <optional>

// The local estimate for expertise («.gge»): XML of the format «LocalEstimateResourceIndexMethod»
// 3.01, UTF-8, root «Construction». Each position is an item with its norm and the norm's
// resources priced at the current level, machinists under their machines, its overhead and profit,
// its totals and the lines of the bill of quantities it prices; sections and the estimate carry
// their sums by kind of work.
namespace lsrfile {

inline constexpr char kSuffix[] = "gge";

// The program that writes the file, and when.
struct Meta
{
    QString softName = QStringLiteral("Мерилон 3");
    QString softVersion;
    QDateTime exported; // local time
};

// What keeps the estimate from the file: its own gaps, then what the expertise body's viewer
// flags, in the order of the file.
QList<lsr::Gap> check(const lsr::Estimate &estimate);

// The file of an estimate that check() passes.
QByteArray encode(const lsr::Estimate &estimate, const Meta &meta);

// A territory kind and a coefficient's target as the format names them: «МПРКС», «ЗТМ».
QString territoryName(bom::Territory territory);
QString targetName(bom::CoefficientTarget target);

// A figure as the file writes it: with a point, no exponent, at most decimals digits after it.
QString decimalText(double value, int decimals);

struct Reading
{
    std::optional<lsr::Estimate> estimate;
    QString failure; // with the line and the column where the file goes wrong
};

// The estimate of the file: its head, sections, positions with their lines and charges, and the
// totals as the file states them.
Reading decode(const QByteArray &bytes);
Reading read(const QString &path);

// Refuses an estimate check() does not pass, naming every gap a line; otherwise writes it,
// replacing the file only once the new one is complete.
std::optional<QString> write(const lsr::Estimate &estimate, const Meta &meta, const QString &path);

} // namespace lsrfile
