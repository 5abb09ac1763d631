#pragma once

#include "normrate.h"

#include <QString>

#include <optional>

// What a choice belongs to: the page, its variant (size class, way of sowing) and the row.
struct RowPlace
{
    QString page;
    int variant = -1;
    int row = -1;
};

// The choices in the program's settings, where they outlive the program and the base.
namespace rowchoices {

std::optional<RowChoice> remembered(const RowPlace &place);
void remember(const RowPlace &place, const RowChoice &choice);
void forget(const RowPlace &place);

} // namespace rowchoices
