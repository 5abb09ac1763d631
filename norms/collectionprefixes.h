#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace norms {

namespace sql {
class Connection;
}

struct CollectionPrefix
{
    QString prefix; // «ГЭСН», «ФЕРр», the firm's «ФН»
    bool firm = false;

    friend bool operator==(const CollectionPrefix &, const CollectionPrefix &) = default;
};

// The prefixes of a base's collections, which the search asks for at every key: read once, and
// again only once the base has changed, through this connection (a firm norm saved, the firm's
// prefix changed) or another one (another program's import or firm norms).
class CollectionPrefixes
{
public:
    const QList<CollectionPrefix> &read(sql::Connection &connection);

private:
    struct Stamp
    {
        int changes = 0;    // rows this connection has written
        qint64 version = 0; // the file's data version as others' commits leave it

        friend bool operator==(const Stamp &, const Stamp &) = default;
    };

    QList<CollectionPrefix> m_prefixes;
    std::optional<Stamp> m_readAt;
};

} // namespace norms
