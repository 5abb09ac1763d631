#include "priceimport.h"
#include "progressshare.h"

#include "normdb.h"
#include "normimport.h"
#include "pricestore.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocale>
#include <QTextStream>

#include <algorithm>

namespace norms {

namespace {

// The writer, asked between rows whether to stop, which is also when progress is told.
class ImportingWriter : public PriceListWriter
{
public:
    ImportingWriter(sql::Connection &connection, const QString &fileName, PriceImportStatus &status,
                    const PriceImportProgress &progress, const std::atomic<bool> *cancel)
        : PriceListWriter(connection, fileName), m_status(status), m_progress(progress),
          m_cancel(cancel)
    {
        m_sinceReport.start();
    }

    std::atomic<qint64> bytesReadInFile{0};
    qint64 bytesBeforeFile = 0;

    void price(const ResourcePriceRow &row) override
    {
        PriceListWriter::price(row);
        ++m_status.rows;
    }

    bool stopRequested() override
    {
        if (m_progress && m_sinceReport.elapsed() >= kImportProgressIntervalMs) {
            m_sinceReport.restart();
            m_status.bytesRead = bytesBeforeFile + bytesReadInFile.load(std::memory_order_relaxed);
            m_progress(m_status);
        }
        return m_cancel && m_cancel->load(std::memory_order_relaxed);
    }

private:
    PriceImportStatus &m_status;
    const PriceImportProgress &m_progress;
    const std::atomic<bool> *m_cancel;
    QElapsedTimer m_sinceReport;
};

PriceImportResult refused(const QString &reason)
{
    PriceImportResult result;
    result.reason = reason;
    return result;
}

QString count(qint64 number)
{
    // Grouped as the Russian reader groups them, whatever the terminal's settings.
    return QLocale(QLocale::Russian, QLocale::Russia).toString(number);
}

QString listSummary(const ImportedPriceList &list)
{
    const PriceListTitle &title = list.title;
    QString text =
        QStringLiteral("Загружены сметные цены «%1» из «%2» (%3, зона «%4», %5 квартал "
                       "%6 года): строк %7, с текущей ценой %8, по индексу %9")
            .arg(priceListName(title), list.fileName, title.subject, title.zone,
                 QString::number(title.quarter), QString::number(title.year),
                 count(list.counts.read), count(list.counts.current), count(list.counts.indexed));
    text += QStringLiteral(", ставок оплаты труда %1").arg(count(list.counts.labour));
    QStringList skipped;
    for (const auto &[reason, number] : list.counts.skipped)
        skipped.append(reason + QStringLiteral(": ") + count(number));
    if (!skipped.isEmpty())
        text += QStringLiteral("; пропущено — ") + skipped.join(QStringLiteral(", "));
    return text + u'.';
}

} // namespace

PriceImportResult importPriceLists(const QString &databasePath, const QStringList &files,
                                   const PriceImportProgress &progress,
                                   const std::atomic<bool> *cancel, const table::Limits &limits)
{
    if (files.isEmpty())
        return refused(QStringLiteral("Не указаны файлы сметных цен для загрузки."));
    NormDatabase::Opened opened = NormDatabase::open(databasePath);
    if (!opened.database)
        return refused(opened.refusal);
    sql::Connection &connection = opened.database->connection();
    PriceImportStatus status;
    for (const QString &file : files)
        status.bytesTotal += QFileInfo(file).size();
    PriceImportResult result;
    try {
        sql::Transaction transaction(connection);
        qint64 bytesBefore = 0;
        for (const QString &path : files) {
            const QString fileName = QFileInfo(path).fileName();
            status.fileName = fileName;
            ImportingWriter writer(connection, fileName, status, progress, cancel);
            writer.bytesBeforeFile = bytesBefore;
            PriceListParser parser(fileName, writer);
            const table::ReadResult read =
                table::readTable(path, parser, &writer.bytesReadInFile, limits);
            if (parser.stopped()) {
                result.outcome = PriceImportResult::Outcome::Cancelled;
                return result;
            }
            if (read.outcome == table::ReadResult::Outcome::Failed)
                return refused(read.reason);
            if (const QString refusal = parser.refusal(); !refusal.isEmpty())
                return refused(refusal);
            result.lists.append({fileName, parser.title(), parser.counts()});
            bytesBefore += QFileInfo(path).size();
        }
        transaction.commit();
    } catch (const sql::Failure &failure) {
        return refused(failureText(failure, databasePath));
    }
    if (progress) {
        status.bytesRead = status.bytesTotal;
        status.finished = true;
        progress(status);
    }
    result.outcome = PriceImportResult::Outcome::Imported;
    return result;
}

QString priceSummaryText(const PriceImportResult &result)
{
    QStringList lists;
    for (const ImportedPriceList &list : result.lists)
        lists.append(listSummary(list));
    return lists.join(u' ');
}

int runPriceImportCommand(const QStringList &files, const QString &databasePath, QTextStream &out,
                          QTextStream &err)
{
    int tenthsShown = 0;
    const auto progress = [&](const PriceImportStatus &status) {
        const int tenths = progressShare(status, 10);
        if (tenths <= tenthsShown)
            return;
        tenthsShown = tenths;
        out << QStringLiteral("%1: %2 %, строк: %3")
                   .arg(status.fileName, QString::number(tenths * 10), count(status.rows))
            << Qt::endl;
    };
    const PriceImportResult result = importPriceLists(databasePath, files, progress);
    if (result.outcome != PriceImportResult::Outcome::Imported) {
        err << result.reason << Qt::endl;
        return 1;
    }
    out << priceSummaryText(result) << Qt::endl;
    return 0;
}

} // namespace norms
