#include "firmexchange.h"

#include "firmfile.h"
#include "firmstore.h"
#include "normxml.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QXmlStreamReader>

#include <algorithm>

namespace norms::firm {

namespace {

// What a file brought for a norm in conflict, kept until the user chooses.
QByteArray incomingJson(const Version &version)
{
    return QJsonDocument(versionJson(version)).toJson(QJsonDocument::Compact);
}

Version incomingVersion(const QString &json)
{
    return versionFromJson(QJsonDocument::fromJson(json.toUtf8()).object());
}

bool hasFirmNorms(NormDatabase &database)
{
    sql::Statement statement(database.connection().handle(),
                             "SELECT EXISTS(SELECT 1 FROM firm_norms)");
    return statement.next() && statement.integer(0) != 0;
}

void dropConflict(NormDatabase &database, qint64 id)
{
    sql::Statement(database.connection().handle(), "DELETE FROM firm_conflicts WHERE firm_id = ?1")
        .bind(1, id)
        .run();
}

class Merge
{
public:
    Merge(NormDatabase &database, const QString &fileName)
        : m_database(database), m_store(database), m_fileName(fileName)
    {
    }

    void norm(const FileNorm &norm);
    MergeResult result;

private:
    std::optional<Entry> match(const FileNorm &norm);
    void recordConflict(qint64 id, const Version &theirs);

    NormDatabase &m_database;
    FirmStore m_store;
    QString m_fileName;
};

// The norm by its code, or by an earlier code of its history when it was renamed in the file
// and the norm here is the same one, made by the same first version.
std::optional<Entry> Merge::match(const FileNorm &norm)
{
    if (std::optional<Entry> entry = m_store.find(norm.history.constLast().draft.code))
        return entry;
    for (auto version = norm.history.crbegin(); version != norm.history.crend(); ++version) {
        const std::optional<Entry> entry = m_store.find(version->draft.code);
        if (!entry)
            continue;
        const QList<Version> ours = m_store.history(entry->id);
        if (!ours.isEmpty() && sameVersion(ours.constFirst(), norm.history.constFirst()))
            return entry;
    }
    return std::nullopt;
}

void Merge::norm(const FileNorm &norm)
{
    const Version &theirs = norm.history.constLast();
    const QByteArray incoming = fingerprint(theirs.draft);
    const std::optional<Entry> entry = match(norm);
    if (!entry) {
        qint64 id = 0;
        for (const Version &version : norm.history)
            id = m_store.append(id, version).id;
        m_store.setSynced(id, incoming);
        ++result.added;
        return;
    }
    const QList<Version> ours = m_store.history(entry->id);
    const QByteArray current = ours.isEmpty() ? QByteArray() : fingerprint(ours.constLast().draft);
    const QByteArray synced = m_store.synced(entry->id);
    const auto known = [&](const Version &version) {
        return std::any_of(ours.cbegin(), ours.cend(),
                           [&](const Version &our) { return sameVersion(our, version); });
    };
    if (current == incoming) {
        m_store.setSynced(entry->id, incoming);
        dropConflict(m_database, entry->id);
        ++result.unchanged;
        return;
    }
    // What was taken or kept before, or a version this side already has: the file is behind.
    if (incoming == synced || known(theirs)) {
        ++result.unchanged;
        return;
    }
    // A deleted norm counts as changed here: the file does not bring it back unasked.
    if (!entry->deleted && current == synced) {
        // A version's account of its changes is against the file's version before it; where the
        // version here is another, the account is made anew against it.
        std::optional<Draft> before;
        if (!ours.isEmpty())
            before = ours.constLast().draft;
        for (qsizetype i = 0; i < norm.history.size(); ++i) {
            const Version &version = norm.history.at(i);
            if (known(version))
                continue;
            Version appended = version;
            if (before &&
                (i == 0 || fingerprint(norm.history.at(i - 1).draft) != fingerprint(*before)))
                appended.changes = changesBetween(before, version.draft);
            m_store.append(entry->id, appended);
            before = version.draft;
        }
        m_store.setSynced(entry->id, incoming);
        dropConflict(m_database, entry->id);
        ++result.updated;
        return;
    }
    recordConflict(entry->id, theirs);
    result.conflicts.append(entry->code);
}

void Merge::recordConflict(qint64 id, const Version &theirs)
{
    // One row a norm: a later file replaces what an earlier one brought.
    sql::Statement(m_database.connection().handle(),
                   "INSERT OR REPLACE INTO firm_conflicts(firm_id, file, found_at, incoming) "
                   "VALUES(?1, ?2, ?3, ?4)")
        .bind(1, id)
        .bind(2, m_fileName)
        .bind(3, isoMoment(QDateTime::currentDateTime()))
        .bind(4, QString::fromUtf8(incomingJson(theirs)))
        .run();
}

} // namespace

bool isFirmFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // A federal file may be large; its first category comes within its first lines.
    QXmlStreamReader xml(&file);
    if (!xml.readNextStartElement() || xml.name() != u"base")
        return false;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"ResourceCategory")
            return xml.attributes().value(QLatin1StringView("Type")) == firmCategoryType();
    }
    return false;
}

ExportResult exportFirmNorms(NormDatabase &database, const QString &path)
{
    ExportResult result;
    FirmFile file;
    try {
        FirmStore store(database);
        file.prefix = store.prefix();
        for (const Entry &entry : store.all()) {
            FileNorm norm{store.history(entry.id)};
            if (!norm.history.isEmpty())
                file.norms.append(norm);
        }
    } catch (const sql::Failure &failure) {
        result.reason = failureText(failure, database.path());
        return result;
    }
    const QByteArray bytes = encodeFirmFile(file);
    QSaveFile saved(path);
    // Unbuffered, so that a failed write is seen by commit() and never replaces the old file.
    if (!saved.open(QIODevice::WriteOnly | QIODevice::Unbuffered) ||
        saved.write(bytes) != bytes.size() || !saved.commit()) {
        result.reason = QStringLiteral("Файл «%1» не записан: нет доступа к папке или места на "
                                       "диске. Прежний файл не изменен.")
                            .arg(path);
        return result;
    }
    result.done = true;
    result.norms = int(file.norms.size());
    return result;
}

MergeResult mergeFirmFile(NormDatabase &database, const QString &path, QString *reason)
{
    const QString fileName = QFileInfo(path).fileName();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (reason)
            *reason = QStringLiteral("Не удалось открыть файл «%1».").arg(path);
        return {};
    }
    // The whole file is read before anything is written, so a broken one changes nothing.
    const FirmFileReading reading = readFirmFile(file);
    if (reading.result.outcome != xml::Outcome::Read) {
        if (reason)
            *reason = xml::readingFailureText(reading.result, fileName);
        return {};
    }
    sql::Transaction transaction(database.connection());
    if (!hasFirmNorms(database) && !reading.file.prefix.isEmpty())
        FirmStore(database).setPrefix(reading.file.prefix);
    Merge merge(database, fileName);
    for (const FileNorm &norm : reading.file.norms)
        merge.norm(norm);
    merge.result.respelled = reading.respelled;
    transaction.commit();
    if (reason)
        reason->clear();
    return merge.result;
}

QList<Conflict> conflicts(NormDatabase &database)
{
    FirmStore store(database);
    sql::Statement rows(database.connection().handle(),
                        "SELECT c.firm_id, n.code, c.file, c.incoming FROM firm_conflicts c "
                        "JOIN firm_norms n ON n.id = c.firm_id ORDER BY n.code");
    QList<Conflict> list;
    while (rows.next()) {
        Conflict conflict;
        conflict.id = rows.integer(0);
        conflict.code = rows.text(1);
        conflict.file = rows.text(2);
        conflict.ours = store.currentVersion(conflict.id).value_or(Version{});
        conflict.theirs = incomingVersion(rows.text(3));
        list.append(conflict);
    }
    return list;
}

void resolve(NormDatabase &database, qint64 id, Choice choice, const QString &login,
             const QDateTime &at)
{
    sql::Transaction transaction(database.connection());
    sql::Statement row(database.connection().handle(),
                       "SELECT file, incoming FROM firm_conflicts WHERE firm_id = ?1");
    row.bind(1, id);
    if (!row.next())
        return;
    const QString file = row.text(0);
    const Version theirs = incomingVersion(row.text(1));
    row.reset();
    FirmStore store(database);
    if (choice == Choice::Theirs) {
        // A norm deleted here comes back with the file's version, as the user chose it.
        // What changed is told against the version here, which the file's own history never
        // saw: what the file's version undoes here is a change too.
        const std::optional<Version> ours = store.currentVersion(id);
        Version taken;
        taken.savedAt = at;
        taken.login = login;
        taken.changes =
            QStringLiteral("принята версия %1 из файла «%2»: %3")
                .arg(QString::number(theirs.number), file,
                     changesBetween(ours ? std::optional<Draft>(ours->draft) : std::nullopt,
                                    theirs.draft));
        taken.draft = theirs.draft;
        store.append(id, taken);
    }
    store.setSynced(id, fingerprint(theirs.draft));
    dropConflict(database, id);
    transaction.commit();
}

void resolve(NormDatabase &database, const QList<std::pair<qint64, Choice>> &choices,
             const QString &login, const QDateTime &at)
{
    sql::Transaction transaction(database.connection());
    for (const auto &[id, choice] : choices)
        resolve(database, id, choice, login, at);
    transaction.commit();
}

} // namespace norms::firm
