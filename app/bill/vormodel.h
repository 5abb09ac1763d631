#pragma once

#include "bill.h"

#include <optional>

// The cells of the entries' table that a bill of quantities adds: the section, the unit and the
// volume of one work, its formula and the references.
namespace vormodel {

QString cell(const bom::Bill &bill, int row, int column);

struct Edit
{
    std::optional<bom::Entry> entry; // the entry as the text makes it
    QString what;                    // the change, for the undo stack
    std::optional<bom::Refusal> refusal;
};
Edit apply(const bom::Bill &bill, int row, int column, const QString &text);

} // namespace vormodel
