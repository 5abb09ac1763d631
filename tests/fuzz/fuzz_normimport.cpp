// Feeds arbitrary bytes to the norm import as a file of the federal base or the firm's. Properties:
// the import never crashes; it either imports or refuses with a reason; a refused import leaves
// the database exactly as it was before.

#include "../norms/baserows.h"
#include "../norms/footings.h"
#include "normdb.h"
#include "normimport.h"
#include "sqlite.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void propertyFailed(const char *what, const QString &detail)
{
    std::fprintf(stderr, "PROPERTY FAILED: %s: %s\n", what, detail.toUtf8().constData());
    std::abort();
}

void writeFile(const QString &path, const char *data, qsizetype size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(data, size) != size)
        propertyFailed("scratch file", path);
}

QByteArray contentsOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct Scratch
{
    QTemporaryDir folder;
    QString database = folder.filePath(QStringLiteral("norms.db"));
    QString input = folder.filePath(QStringLiteral("ГЭСН.xml"));
    QByteArray pristine;
    QString pristineRows;

    Scratch()
    {
        writeFile(input, kFootingsBase, qsizetype(sizeof kFootingsBase - 1));
        const norms::ImportResult made = norms::importFiles(database, {input});
        if (made.outcome != norms::ImportResult::Outcome::Imported || made.norms != 6)
            propertyFailed("the previous base did not import", made.reason);
        // One file holds it all, so that a copy of it is the whole base.
        norms::sql::Connection(database).execute("PRAGMA wal_checkpoint(TRUNCATE)");
        pristine = contentsOf(database);
        pristineRows = baseRows(database);
    }

    void restore()
    {
        for (const QString &suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
            QFile::remove(database + suffix);
        writeFile(database, pristine.constData(), pristine.size());
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static Scratch scratch;
    scratch.restore();
    writeFile(scratch.input, reinterpret_cast<const char *>(data), qsizetype(size));
    const norms::ImportResult result = norms::importFiles(scratch.database, {scratch.input});
    switch (result.outcome) {
    case norms::ImportResult::Outcome::Imported:
        if (!result.reason.isEmpty() || (result.collections < 1 && result.firmFiles.isEmpty()))
            propertyFailed("an import with a reason or with nothing imported", result.reason);
        break;
    case norms::ImportResult::Outcome::Refused:
        if (result.reason.isEmpty())
            propertyFailed("a refusal without a reason", {});
        if (baseRows(scratch.database) != scratch.pristineRows)
            propertyFailed("a refused import changed the base", result.reason);
        break;
    case norms::ImportResult::Outcome::Cancelled:
        propertyFailed("cancelled with nobody cancelling", {});
    }
    return 0;
}
