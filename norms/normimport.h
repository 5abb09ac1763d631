#pragma once

#include "firmexchange.h"
#include "normxml.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

// Loads files of the federal norm base into the norm database, and merges the firm's own files
// (firm::isFirmFile) into the firm's norms in the same transaction. The import is one transaction:
// each resource category of the files replaces the collection of the same code prefix, and
// until the whole import commits, readers see the previous base unchanged. A cancel, a file
// that is broken or of another kind, a full disk or a killed process leave that base as it was.
namespace norms {

struct ImportStatus
{
    int file = 0; // the index of the file being read
    QString fileName;
    qint64 bytesRead = 0;  // of all the files together
    qint64 bytesTotal = 0; // their sizes together
    qint64 norms = 0;      // counted so far in all the files
    // Told once, when the import has committed: only then is the whole way gone.
    bool finished = false;
};

// Called on the importing thread at most every 50 ms; it should only pass the figures on (a
// window posts them to its progress dialog), as the import waits for it.
using ImportProgress = std::function<void(const ImportStatus &)>;

struct ImportResult
{
    enum class Outcome
    {
        Imported,
        Cancelled,
        Refused,
    };
    Outcome outcome = Outcome::Refused;
    int collections = 0;
    qint64 norms = 0;
    qint64 resources = 0; // resource lines of the norms
    qint64 catalogueEntries = 0;
    QString reason; // why refused, in Russian, naming the file
    // Where a damaged database was moved before a new one was made; empty when none was.
    QString movedAside;
    // The firm's files among the files, merged into the firm's norms rather than loaded.
    QStringList firmFiles; // their names
    firm::MergeResult firm;
    // Files of a folder that are no norm file, catalogue or firm file, each with why:
    // «База ТГ.xml» (его корневой элемент «NewDataSet», а не «base»).
    QStringList leftAside;
};

// Imports the files into the database at databasePath, made when missing. A folder among them
// stands for every XML file in it and its subfolders (an unpacked edition), of which those of
// another kind are left aside, named in the result, rather than refusing the import. A file
// given twice (one name, or one content) refuses the import, naming both paths. A damaged
// database is moved aside under a new name and a new one made; a newer program's database is
// refused untouched. progress may be empty, cancel null.
ImportResult importFiles(const QString &databasePath, const QStringList &files,
                         const ImportProgress &progress = {},
                         const std::atomic<bool> *cancel = nullptr);

// The import's minimum interval between two progress calls.
inline constexpr int kImportProgressIntervalMs = 50;

// What an import loaded, in one line: «Загружено в «data/norms.db»: категорий 1, норм 45000, …»,
// and what the firm's files brought: «Фирменные нормы из «firm.xml»: новых 2, …».
QString summaryText(const ImportResult &result, const QString &databasePath);
// Where a damaged database went, when the import moved one aside.
QString movedAsideText(const ImportResult &result, const QString &databasePath);

} // namespace norms
