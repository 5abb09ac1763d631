#pragma once

#include "collectionprefixes.h"
#include "sqlite.h"

#include <QString>

#include <memory>

// The norm base's database file: its schema, brought up to date when an older program made it,
// and refused when it is damaged or a newer program made it.
namespace norms {

// The schema this program writes; files of a later one are refused, earlier ones migrated.
inline constexpr int kSchemaVersion = 8;

// The database beside the journals, in the working folder's data/.
QString defaultDatabasePath();

class NormDatabase
{
public:
    enum class Problem
    {
        None,
        Damaged, // not a database, or one whose pages are broken
        Newer,   // a later program's schema, which this one must not touch
        Other,   // no access, a busy lock held too long, a full disk
    };
    struct Opened
    {
        std::unique_ptr<NormDatabase> database; // none when refused
        Problem problem = Problem::None;
        QString refusal; // why, in Russian, naming the file
    };
    // Opens the file, creating it and the folder above it when missing and migrating an older
    // schema.
    static Opened open(const QString &path);

    const QString &path() const { return m_path; }
    sql::Connection &connection() { return m_connection; }
    // Whether any norm is there to search.
    bool hasNorms();
    const QList<CollectionPrefix> &prefixes() { return m_prefixes.read(m_connection); }

private:
    explicit NormDatabase(const QString &path);
    QString m_path;
    sql::Connection m_connection;
    CollectionPrefixes m_prefixes;
};

// A failure of the database in the user's words, naming the file.
QString failureText(const sql::Failure &failure, const QString &path);

} // namespace norms
