#pragma once

#include "firmnorm.h"
#include "normdb.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

// The firm's norms shared through one file on a shared folder: written in the structure of the
// federal files under a resource category of the type «ФИРМЕННЫЕ НОРМЫ», with every norm's
// current version, source and history; read back by merging by code.
namespace norms::firm {

// Whether the file's first resource category is of the firm's type.
bool isFirmFile(const QString &path);

struct ExportResult
{
    bool done = false;
    int norms = 0;
    QString reason; // why not, in Russian, naming the file
};
// Writes every firm norm that is not deleted, whole or not at all.
ExportResult exportFirmNorms(NormDatabase &database, const QString &path);

// What an import of firm files did, beside the federal collections it never touches.
struct MergeResult
{
    int added = 0;
    int updated = 0;
    int unchanged = 0;
    QStringList conflicts; // codes changed here and in the file since the last import
    // Codes of norms whose texts came with characters the journal lacks, taken respelled.
    QStringList respelled;
};

// Merges one firm file into the database, inside the caller's transaction: new codes are
// added with their history, norms not changed here since the last import take the file's
// newer versions, and a norm changed on both sides is kept as it is here and recorded as a
// conflict. Norms the file lacks stay. Throws sql::Failure; a file that cannot be read as a firm
// file gives reason and changes nothing.
MergeResult mergeFirmFile(NormDatabase &database, const QString &path, QString *reason);

// A norm changed here and in a file: the two versions to choose between.
struct Conflict
{
    qint64 id = 0;
    QString code;
    QString file;
    Version ours;
    Version theirs;
};
QList<Conflict> conflicts(NormDatabase &database);

enum class Choice
{
    Ours,   // the version here stays; the file's is not offered again
    Theirs, // the file's version becomes a new version here
};
void resolve(NormDatabase &database, qint64 id, Choice choice, const QString &login,
             const QDateTime &at);

// The choices made among the conflicts, by the firm norm's id, taken in one transaction: a
// failure of any leaves every conflict as it was.
void resolve(NormDatabase &database, const QList<std::pair<qint64, Choice>> &choices,
             const QString &login, const QDateTime &at);

} // namespace norms::firm
