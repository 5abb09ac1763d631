#include "billxlsx.h"

// Builds without libxlsxwriter (the Windows cross build has none yet) keep the menu entry and
// say why nothing is written.
namespace billxlsx {

bool available()
{
    return false;
}

std::optional<QString> write(const bom::Bill &, const bom::Totals &, const QString &)
{
    return QStringLiteral("Экспорт в XLSX в этой сборке программы недоступен");
}

} // namespace billxlsx
