#pragma once

#include "pricelist.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

class QTextStream;

// Loads the regions' price lists (the «сплит-форма» as published, .xlsx, or saved as CSV) into
// the norm base, each under its subject, zone and quarter, in one transaction: a broken file, a
// sheet that is no price list, a cancel or a full disk leave the base as it was.
namespace norms {

struct PriceImportStatus
{
    QString fileName;
    qint64 bytesRead = 0;  // of all the files together
    qint64 bytesTotal = 0; // their sizes together
    qint64 rows = 0;       // resources read so far
    bool finished = false; // told once, when the import has committed
};

// Called on the importing thread at most every 50 ms.
using PriceImportProgress = std::function<void(const PriceImportStatus &)>;

struct ImportedPriceList
{
    QString fileName;
    PriceListTitle title;
    PriceListCounts counts;
};

struct PriceImportResult
{
    enum class Outcome
    {
        Imported,
        Cancelled,
        Refused,
    };
    Outcome outcome = Outcome::Refused;
    QList<ImportedPriceList> lists;
    QString reason; // why refused, in Russian, naming the file and the row
};

PriceImportResult importPriceLists(const QString &databasePath, const QStringList &files,
                                   const PriceImportProgress &progress = {},
                                   const std::atomic<bool> *cancel = nullptr,
                                   const table::Limits &limits = {});

// What the import loaded, in one line: the list's name, subject, zone and quarter, the rows
// read, priced, indexed and the labour rates, and the rows skipped by reason.
QString priceSummaryText(const PriceImportResult &result);

// `merilon --import-prices FILE...`: imports the files, printing a line at each tenth of the
// bytes read, and the summary last to out, or the reason to err. Returns the exit code.
int runPriceImportCommand(const QStringList &files, const QString &databasePath, QTextStream &out,
                          QTextStream &err);

} // namespace norms
