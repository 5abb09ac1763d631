#pragma once

#include "normdb.h"

#include <QString>

#include <optional>

namespace norms {

// The norm a full code names, as Norm::fullCode() writes it: «ГЭСН 06-01-001-01», a published
// norm, is the collection's prefix and the code; a code without a space, «ФН-06-01-001-01», is
// the firm's own. Codes are what stays when the base is imported again; ids are not.
std::optional<qint64> findNorm(NormDatabase &database, const QString &fullCode);
// The same among the federal collections alone: the norm a firm norm was made from.
std::optional<qint64> findFederalNorm(NormDatabase &database, const QString &fullCode);

} // namespace norms
