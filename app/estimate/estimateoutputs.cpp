#include "estimateoutputs.h"

// Until the file, print and workbook writers are in.
namespace estimateoutputs {

namespace {
const QString kNotYet = QStringLiteral("Эта запись ЛСР еще не готова");
}

std::optional<QString> writeGge(const lsr::Estimate &, const QString &)
{
    return kNotYet;
}
std::optional<QString> writePdf(const lsr::Estimate &, const QString &)
{
    return kNotYet;
}
void print(QPrinter *, const lsr::Estimate &) {}
std::optional<QString> writeXlsx(const lsr::Estimate &, const QString &)
{
    return kNotYet;
}
Reading readGge(const QString &)
{
    return {std::nullopt, kNotYet};
}

} // namespace estimateoutputs
