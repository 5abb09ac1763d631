#pragma once

#include "firmnorm.h"
#include "normdb.h"

#include <QList>
#include <QString>

#include <optional>

// The firm's own norms in the norm database: made, changed, deleted and restored, each change a
// version kept for good. Every operation keeps itself whole, and is part of the caller's
// transaction when one is open. Failures of the database are thrown as sql::Failure.
namespace norms::firm {

struct Entry
{
    qint64 id = 0;     // the firm norm's own id, which stays when its code changes
    qint64 normId = 0; // its current version among the norms; 0 while deleted
    QString code;
    int version = 0;
    bool deleted = false;
};

class FirmStore
{
public:
    explicit FirmStore(NormDatabase &database);

    // The prefix of the firm's collection.
    QString prefix();
    void setPrefix(const QString &prefix);

    // Deleted norms too.
    std::optional<Entry> find(const QString &code);
    std::optional<Entry> entry(qint64 id);
    std::optional<Entry> entryOfNorm(qint64 normId);
    // The norms that are not deleted, by code.
    QList<Entry> all();
    // Whether another firm norm, deleted ones too, has the code.
    bool codeTaken(const QString &code, qint64 exceptId = 0);

    struct Saved
    {
        qint64 id = 0;
        qint64 normId = 0;
        int version = 0;
    };
    // Saves a new norm (id 0) or a new version of one, with what changed worked out; a version
    // equal to the current one is not saved again. An id the base lacks (a creation undone) is
    // made again with that id. Refuses, with sql::Failure of
    // SQLITE_CONSTRAINT, a code another firm norm has.
    Saved save(qint64 id, const Draft &draft, const QString &login, const QDateTime &at);
    // Adds a version as it is, with its moment, login and changes, numbered after the last
    // (id 0 makes a new norm, an id the base lacks one with that id); what an import brings.
    Saved append(qint64 id, const Version &version);
    // A new version equal to an earlier one, «восстановлена версия N».
    Saved restore(qint64 id, int number, const QString &login, const QDateTime &at);
    // The same from the norm's history and current version as the caller read them.
    Saved restore(qint64 id, int number, const QList<Version> &history,
                  const std::optional<Version> &current, const QString &login, const QDateTime &at);

    // Takes the norm out of search and use; its history stays, and undelete brings it back.
    void remove(qint64 id);
    void undelete(qint64 id);
    // Undoes a creation: the norm and its history go.
    void erase(qint64 id);
    // Undoes a save or a restore: the last version goes, the one before is current again.
    void dropLastVersion(qint64 id);

    // Oldest first.
    QList<Version> history(qint64 id);
    std::optional<Version> currentVersion(qint64 id);

    // The fingerprint of the version last taken from a file or kept against one.
    QByteArray synced(qint64 id);
    void setSynced(qint64 id, const QByteArray &fingerprint);

    // The federal norm a firm norm was made from, when it is in the base.
    std::optional<Norm> origin(const Norm &firmNorm);

private:
    qint64 collectionId();
    void materialize(qint64 id, const Version &version);

    NormDatabase &m_database;
};

} // namespace norms::firm
