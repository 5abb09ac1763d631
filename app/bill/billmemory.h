#pragma once

#include "bill.h"

#include <optional>

// What a bill remembers per material for later bills, in the program's settings: the terms a
// user gave it (reserve and pack size, never a price, which belongs to its bill) and the
// catalogue resource a material of the pages was linked to.
namespace billmemory {

std::optional<bom::Terms> rememberedTerms(const bom::MaterialKey &key);
void rememberTerms(const bom::MaterialKey &key, const bom::Terms &terms);
std::optional<bom::ResourceLink> rememberedLink(const bom::MaterialKey &material);
// No link: the material is on its own in later bills.
void rememberLink(const bom::MaterialKey &material, const std::optional<bom::ResourceLink> &link);

} // namespace billmemory
