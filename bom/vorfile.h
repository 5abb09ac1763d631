#pragma once

#include "bill.h"

#include <QByteArray>
#include <QDateTime>

#include <optional>

// The bill as a bill of quantities for expertise (ведомость объемов работ, «.gge»): XML of the
// format «QuantityTakeoff» 3.01, UTF-8, root «Construction». Each entry is a work with its
// materials as the work's resources, grouped by the bill's sections; an entry of materials typed
// by hand gives a line of each material.
namespace vorfile {

inline constexpr char kSuffix[] = "gge";

// What the format needs and a bill may lack: said line by line, with the place to fix it.
struct Gap
{
    enum class Place
    {
        Head,      // field names the head's field
        Documents, // the list of design documents
        Sections,  // the bill as a whole
        Work,      // the entry's name of work
        Unit,      // the entry's unit of work, or the material's unit
        Quantity,  // the entry's volume, or the material's amount
        Formula,   // the entry's formula, or the material's
        Links,     // the entry's references, or the material's own
    };
    QString text;
    Place place = Place::Sections;
    int entry = -1;    // the bill's entry, -1 for the head, documents and the bill
    int material = -1; // the entry's material, -1 for the entry itself
    QString field;     // for Place::Head: compiledBy, compiledPosition, checkedBy, ...
};

// Everything the format requires that the bill does not give, in the order of the file.
QList<Gap> check(const bom::Bill &bill);

// The program that writes the file, and when.
struct Meta
{
    QString softName;
    QString softVersion;
    QDateTime exported; // local time
};

// The file of a bill that check() passes.
QByteArray encode(const bom::Bill &bill, const Meta &meta);

// The quantity as the file writes it: with a point, to the digits the window shows.
QString quantityText(double value);

struct Reading
{
    std::optional<bom::Bill> bill;
    QString failure; // with the line and the column where the file goes wrong
};

// A bill of the file's sections, works and resources, documents, references and head; the
// entries take the moment given.
Reading decode(const QByteArray &bytes, const QDateTime &added);
Reading read(const QString &path, const QDateTime &added);

// Refuses a bill check() does not pass, naming its first gaps; otherwise writes it.
std::optional<QString> write(const bom::Bill &bill, const Meta &meta, const QString &path);

} // namespace vorfile
