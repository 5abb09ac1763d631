#pragma once

#include <QString>

#include <optional>

// The norm a user chose for a row of a page that has no published rate, kept by what stays when
// the base is imported again: the norm's full code, and the resource's code or, for a resource
// without one, its place among the norm's resources.
struct RowChoice
{
    QString norm;      // «ГЭСН 06-01-001-01», «ФН-06-01-001-01»
    QString resource;  // the resource's code; empty when it has none
    int position = -1; // the resource's place in the norm, counted from 0

    friend bool operator==(const RowChoice &, const RowChoice &) = default;
};

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
