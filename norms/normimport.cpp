#include "normimport.h"

#include "normdb.h"
#include "normwriter.h"
#include "normxml.h"
#include "readahead.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace norms {

namespace {

// The writer, asked between norms whether to stop, which is also when progress is told.
class ImportSink : public NormWriter
{
public:
    ImportSink(sql::Connection &connection, const ImportProgress &progress,
               const std::atomic<bool> *cancel)
        : NormWriter(connection), m_progress(progress), m_cancel(cancel)
    {
        m_sinceReport.start();
    }

    ImportStatus status;
    std::atomic<qint64> bytesReadInFile{0};
    qint64 bytesBeforeFile = 0;

    bool stopRequested() override
    {
        if (m_progress && m_sinceReport.elapsed() >= kImportProgressIntervalMs) {
            m_sinceReport.restart();
            status.bytesRead = bytesBeforeFile + bytesReadInFile.load(std::memory_order_relaxed);
            status.norms = norms();
            m_progress(status);
        }
        return m_cancel && m_cancel->load(std::memory_order_relaxed);
    }

private:
    const ImportProgress &m_progress;
    const std::atomic<bool> *m_cancel;
    QElapsedTimer m_sinceReport;
};

ImportResult refused(const QString &reason)
{
    ImportResult result;
    result.reason = reason;
    return result;
}

// Moves a damaged database and its journal files aside under one new name; nothing is deleted,
// so what can still be read from it is not lost.
QString moveAside(const QString &path)
{
    const QString target = path + QStringLiteral(".damaged-") +
                           QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    if (!QFile::rename(path, target))
        return {};
    for (const QString &suffix : {QStringLiteral("-wal"), QStringLiteral("-shm")})
        if (QFile::exists(path + suffix))
            QFile::rename(path + suffix, target + suffix);
    return target;
}

// A file to import, and whether a folder brought it rather than the user naming it.
struct Source
{
    QString path;
    bool fromFolder = false;
};

// The files named, each folder replaced by its XML files in order of their paths; an empty list
// and the reason when a folder holds none.
std::vector<Source> sourcesOf(const QStringList &paths, QString &refusal)
{
    std::vector<Source> sources;
    for (const QString &path : paths) {
        if (!QFileInfo(path).isDir()) {
            sources.push_back({path, false});
            continue;
        }
        QStringList found;
        QDirIterator files(path, {QStringLiteral("*.xml")}, QDir::Files,
                           QDirIterator::Subdirectories);
        while (files.hasNext())
            found.append(files.next());
        if (found.isEmpty()) {
            refusal = QStringLiteral("В папке «%1» нет файлов XML базы норм.")
                          .arg(QDir::toNativeSeparators(path));
            return {};
        }
        found.sort();
        for (const QString &file : std::as_const(found))
            sources.push_back({file, true});
    }
    return sources;
}

QByteArray contentHash(const QString &path)
{
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha1);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file))
        return {};
    return hash.result();
}

// Two editions' folders hold files of the same names: both would load, every norm twice. A file
// of the firm's may share its name with a colleague's; only the same content is the same file.
QString twiceGiven(const std::vector<Source> &sources)
{
    struct Seen
    {
        QString path;
        QString name;
        qint64 size = 0;
        bool firm = false;
        QByteArray hash;
    };
    std::vector<Seen> seen;
    for (const Source &source : sources) {
        const QFileInfo info(source.path);
        if (!info.isFile())
            continue; // refused, unopened, in its turn
        Seen file{source.path, info.fileName(), info.size(), firm::isFirmFile(source.path), {}};
        for (Seen &earlier : seen) {
            bool same = !file.firm && !earlier.firm &&
                        file.name.compare(earlier.name, Qt::CaseInsensitive) == 0;
            if (!same && file.size == earlier.size) {
                if (earlier.hash.isEmpty())
                    earlier.hash = contentHash(earlier.path);
                if (file.hash.isEmpty())
                    file.hash = contentHash(file.path);
                same = !file.hash.isEmpty() && file.hash == earlier.hash;
            }
            if (same)
                return QStringLiteral("Один файл указан дважды: «%1» и «%2». Загрузите только "
                                      "один из них.")
                    .arg(QDir::toNativeSeparators(earlier.path),
                         QDir::toNativeSeparators(file.path));
        }
        seen.push_back(std::move(file));
    }
    return {};
}

struct OpenedForImport
{
    std::unique_ptr<NormDatabase> database;
    QString refusal;
    QString movedAside;
};

OpenedForImport openForImport(const QString &path)
{
    NormDatabase::Opened opened = NormDatabase::open(path);
    QString movedAside;
    if (opened.problem == NormDatabase::Problem::Damaged) {
        movedAside = moveAside(path);
        if (movedAside.isEmpty())
            return {nullptr,
                    opened.refusal + QStringLiteral(" Не удалось переименовать его, чтобы создать "
                                                    "новую базу."),
                    {}};
        opened = NormDatabase::open(path);
    }
    return {std::move(opened.database), opened.refusal, movedAside};
}

ImportResult importInto(NormDatabase &database, const std::vector<Source> &sources,
                        const ImportProgress &progress, const std::atomic<bool> *cancel)
{
    sql::Connection &connection = database.connection();
    try {
        // Room for the pages the import touches again and again (the indexes' inner pages),
        // well within what a desktop has to spare.
        connection.execute("PRAGMA cache_size = -32768");
        sql::Transaction transaction(connection);
        ImportSink sink(connection, progress, cancel);
        for (const Source &source : sources)
            sink.status.bytesTotal += QFileInfo(source.path).size();
        QStringList firmFiles;
        QStringList leftAside;
        firm::MergeResult merged;
        for (int index = 0; index < int(sources.size()); ++index) {
            const QString &path = sources[std::size_t(index)].path;
            const QString fileName = QFileInfo(path).fileName();
            if (!QFile(path).open(QIODevice::ReadOnly))
                return refused(QStringLiteral("Не удалось открыть файл «%1».").arg(path));
            sink.status.file = index;
            sink.status.fileName = fileName;
            if (firm::isFirmFile(path)) {
                QString reason;
                const firm::MergeResult one = firm::mergeFirmFile(database, path, &reason);
                if (!reason.isEmpty())
                    return refused(reason);
                firmFiles.append(fileName);
                merged.added += one.added;
                merged.updated += one.updated;
                merged.unchanged += one.unchanged;
                merged.conflicts += one.conflicts;
                merged.respelled += one.respelled;
                sink.bytesBeforeFile += QFileInfo(path).size();
                continue;
            }
            sink.setSourceFile(fileName);
            const xml::ReadResult read = readAhead(path, sink, sink.bytesReadInFile);
            if (read.outcome == xml::Outcome::Stopped) {
                ImportResult result;
                result.outcome = ImportResult::Outcome::Cancelled;
                return result;
            }
            sink.bytesBeforeFile += QFileInfo(path).size();
            // An edition's folder holds files of other data (technology groups) too.
            if (read.outcome == xml::Outcome::OtherKind && read.foreign &&
                sources[std::size_t(index)].fromFolder) {
                leftAside.append(QStringLiteral("«%1» (%2)").arg(fileName, read.reason));
                continue;
            }
            if (read.outcome != xml::Outcome::Read)
                return refused(xml::readingFailureText(read, fileName));
        }
        if (sink.collections() == 0 && firmFiles.isEmpty())
            return refused(QStringLiteral("Среди выбранных файлов нет файлов базы норм: %1.")
                               .arg(leftAside.join(QStringLiteral(", "))));
        // The firm's files alone bring no catalogue and no federal line to name.
        if (sink.collections() > 0)
            sink.finish();
        transaction.commit();
        if (progress) {
            sink.status.bytesRead = sink.status.bytesTotal;
            sink.status.norms = sink.norms();
            sink.status.finished = true;
            progress(sink.status);
        }
        ImportResult result;
        result.outcome = ImportResult::Outcome::Imported;
        result.collections = sink.collections();
        result.norms = sink.norms();
        result.resources = sink.resources();
        result.catalogueEntries = sink.catalogueEntries();
        result.firmFiles = firmFiles;
        result.firm = merged;
        result.leftAside = leftAside;
        return result;
    } catch (const sql::Failure &failure) {
        return refused(failureText(failure, database.path()));
    }
}

} // namespace

ImportResult importFiles(const QString &databasePath, const QStringList &files,
                         const ImportProgress &progress, const std::atomic<bool> *cancel)
{
    QString refusal;
    const std::vector<Source> sources = sourcesOf(files, refusal);
    if (refusal.isEmpty())
        refusal = twiceGiven(sources);
    if (!refusal.isEmpty())
        return refused(refusal);
    OpenedForImport opened = openForImport(databasePath);
    if (!opened.database)
        return refused(opened.refusal);
    // The user is told of a database moved aside whether or not the files then load.
    ImportResult result = importInto(*opened.database, sources, progress, cancel);
    result.movedAside = opened.movedAside;
    return result;
}

namespace {

QString firmSummaryText(const ImportResult &result)
{
    QStringList names;
    for (const QString &name : result.firmFiles)
        names.append(QStringLiteral("«%1»").arg(name));
    // Numbers as text too, so that a «%» in a file's name cannot take their place.
    const QString summary =
        QStringLiteral("Фирменные нормы из %1: новых %2, обновлено %3, без изменений %4")
            .arg(names.join(QStringLiteral(", ")), QString::number(result.firm.added),
                 QString::number(result.firm.updated), QString::number(result.firm.unchanged));
    if (result.firm.conflicts.isEmpty())
        return summary + u'.';
    return summary + QStringLiteral(", конфликтов %1 (%2) — выберите версию в окне «Нормы».")
                         .arg(QString::number(result.firm.conflicts.size()),
                              result.firm.conflicts.join(QStringLiteral(", ")));
}

QString respelledText(const ImportResult &result)
{
    if (result.firm.respelled.isEmpty())
        return QString();
    return QStringLiteral(" В нормах %1 знаки «²», «³», «≤», «≥» заменены на «2», «3», «<=», «>=»: "
                          "журнал их не сохраняет.")
        .arg(result.firm.respelled.join(QStringLiteral(", ")));
}

QString leftAsideText(const ImportResult &result)
{
    if (result.leftAside.isEmpty())
        return {};
    return QStringLiteral(" Оставлены без загрузки: %1.")
        .arg(result.leftAside.join(QStringLiteral(", ")));
}

} // namespace

QString summaryText(const ImportResult &result, const QString &databasePath)
{
    const QString firm =
        result.firmFiles.isEmpty() ? QString() : firmSummaryText(result) + respelledText(result);
    // Every federal file has a category, so none means the firm's files came alone.
    if (!firm.isEmpty() && result.collections == 0)
        return firm + leftAsideText(result);
    QString summary = QStringLiteral("Загружено в «%1»: категорий %2, норм %3, строк ресурсов %4")
                          .arg(databasePath, QString::number(result.collections),
                               QString::number(result.norms), QString::number(result.resources));
    if (result.catalogueEntries > 0)
        summary += QStringLiteral(", позиций каталога %1").arg(result.catalogueEntries);
    summary += u'.';
    return (firm.isEmpty() ? summary : summary + u' ' + firm) + leftAsideText(result);
}

QString movedAsideText(const ImportResult &result, const QString &databasePath)
{
    if (result.movedAside.isEmpty())
        return {};
    return QStringLiteral("База норм «%1» была повреждена и перенесена в «%2»; создана новая.")
        .arg(databasePath, result.movedAside);
}

} // namespace norms
