#pragma once

#include "normdb.h"

#include <QList>
#include <QString>

// Finding norms as the user types: by a code or its beginning, with or without the
// collection's prefix («06-01», «ГЭСН 06-01-001-01»), or by words of the name, each word the
// beginning of a word of the name, in any case and with «е» and «ё» alike.
namespace norms {

struct NormHit
{
    qint64 id = 0;
    QString prefix;
    QString code;
    QString name;
    QString measure;
    bool firm = false; // the firm's own norm, listed before the federal ones

    // «ГЭСН 06-01-001-01»; a firm norm's own code
    QString fullCode() const { return firm ? code : prefix + u' ' + code; }

    friend bool operator==(const NormHit &, const NormHit &) = default;
};

// At most limit norms, the firm's own first, each kind ordered by code; nothing for a query
// without a letter or a digit.
QList<NormHit> searchNorms(NormDatabase &database, const QString &query, int limit = 200);

} // namespace norms
