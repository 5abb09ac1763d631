#include "lsrxlsx.h"

// Builds without libxlsxwriter (the Windows cross build has none yet) keep the menu entry and
// say why nothing is written.
namespace lsrxlsx {

bool available()
{
    return false;
}

std::optional<QString> write(const lsr::Estimate &, const QString &)
{
    return QStringLiteral("Экспорт сметы в XLSX в этой сборке программы недоступен");
}

} // namespace lsrxlsx
