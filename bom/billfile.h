#pragma once

#include "bill.h"

#include <QByteArray>

#include <optional>

// Bill files (".merilon-bom"): UTF-8 JSON, an object with "format": "merilon-bom", a format
// "version", the document's "head", the "entries" and the "terms" per material. A reader
// refuses a newer version rather than guess at it, and reads version 1 (no head, counts, notes
// or kinds; a price per pack whenever a pack size was set) and version 2 (no resource codes, no
// labour or machine kinds) and version 3 (no price index, prices' origins or links to the price
// catalogue) as those versions meant them. Version 4 adds the catalogue's prices and links, and
// what a bill of quantities needs: sections, design documents, references and volumes with their
// formulas; every one of them may be absent, and a bill without sections has one. Version 5 adds
// the local estimate's terms, absent from a bill that has none.
namespace billfile {

inline constexpr int kVersion = 5;
inline constexpr qint64 kMaxBytes = 64 * 1024 * 1024;
inline constexpr char kSuffix[] = "merilon-bom";

QByteArray encode(const bom::Bill &bill);

// The bill, or the reason the bytes are not one, in words for the user.
struct Reading
{
    std::optional<bom::Bill> bill;
    QString failure;
};

Reading decode(const QByteArray &bytes);
Reading read(const QString &path);

// Replaces the file only once the new one is complete, so a failed save keeps the previous
// file. Returns the failure's message, if any.
std::optional<QString> write(const bom::Bill &bill, const QString &path);
// What the user was doing when a write failed, for its message: saving the bill in its own file,
// or exporting it to another (its CSV, workbook, PDF or bill of quantities), which is named.
enum class Writing
{
    Save,
    Export
};

// The same for any bytes of the bill, such as its CSV.
std::optional<QString> writeBytes(const QByteArray &bytes, const QString &path,
                                  Writing writing = Writing::Save);

} // namespace billfile
