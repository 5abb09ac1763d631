#pragma once

#include "lsr.h"

#include <QString>

#include <optional>

class QPrinter;

// The computed estimate written out: the file for expertise, the printed form and the workbook;
// and an expertise file read back. Each failure is said in Russian.
namespace estimateoutputs {

// What keeps the estimate from expertise: its gaps, then what the viewer of the file flags.
QList<lsr::Gap> check(const lsr::Estimate &estimate);
// Refused, with the gaps or the failed checks listed, when the file would not pass them.
std::optional<QString> writeGge(const lsr::Estimate &estimate, const QString &path);
std::optional<QString> writePdf(const lsr::Estimate &estimate, const QString &path);
void print(QPrinter *printer, const lsr::Estimate &estimate);
std::optional<QString> writeXlsx(const lsr::Estimate &estimate, const QString &path);

struct Reading
{
    std::optional<lsr::Estimate> estimate;
    QString failure;
};
Reading readGge(const QString &path);

} // namespace estimateoutputs
