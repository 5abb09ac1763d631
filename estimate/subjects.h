#pragma once

#include <QString>

#include <optional>

// The subjects of the federation by the codes the regional price lists and the expertise format
// use (01…99), with their names as the split forms write them.
namespace lsr {

// The subject's code of a name as a list writes it: «г. Москва», «Москва», «город Москва» are
// 77; case and «ё» do not matter. None for a name the table lacks.
std::optional<int> subjectCode(const QString &name);
// The table's name of a code: 47 → «Ленинградская область»; empty for a code it lacks.
QString subjectName(int code);

} // namespace lsr
