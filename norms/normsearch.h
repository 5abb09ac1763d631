#pragma once

#include "normbrowse.h"
#include "normdb.h"

#include <QList>
#include <QString>

#include <optional>

// Finding norms as the user types: by a code or its beginning, with or without the
// collection's prefix («06-01», «ГЭСН 06-01-001-01», «фн 06»), or by words of the name, each word
// the beginning of a word of the name, in any case and with «е» and «ё» alike; or by a resource
// they use, by the beginnings of the words of its name or the beginning of its code.
namespace norms {

struct NormHit
{
    qint64 id = 0;
    QString prefix;
    QString code;
    QString name;
    QString measure;
    bool firm = false; // the firm's own norm, listed before the federal ones
    // A firm norm listed after the federal norm it was made from: that norm's full code.
    QString basedOn;

    // «ГЭСН 06-01-001-01»; a firm norm's own code
    QString fullCode() const { return norms::fullCode(prefix, code, firm); }

    friend bool operator==(const NormHit &, const NormHit &) = default;
};

// At most limit norms, the firm's own first, each kind ordered by code; each federal norm is
// followed by the firm's norms made from it that are not listed already. Nothing for a query
// without a letter or a digit.
QList<NormHit> searchNorms(NormDatabase &database, const QString &query, int limit = 200);

// A norm's line of a resource the search by resource found.
struct ResourceHit
{
    NormHit norm;
    NormResource resource; // its name and unit as the norm shows them, its rate per measure
};

// The lines of the resources whose names have words beginning with the query's words
// («смес бетон»), or whose code begins with the query («04.1.02»): at most limit, the firm's
// norms first, each kind ordered by the norm's code and then the line's place in it.
QList<ResourceHit> searchByResource(NormDatabase &database, const QString &query, int limit = 200);

} // namespace norms
