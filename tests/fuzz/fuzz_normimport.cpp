// Feeds arbitrary bytes to the norm import as a file of the federal base. Properties: the import
// never crashes; it either imports or refuses with a reason; a refused import leaves the
// database exactly as it was before.

#include "normdb.h"
#include "normimport.h"
#include "sqlite.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

// The base every input is imported over, with the prefix most inputs use, so that a replacement
// that went wrong would show.
const char kPreviousBase[] = R"(<base PriceLevel="01.01.2022"><ResourcesDirectory>
<ResourceCategory Type="СТРОИТЕЛЬНЫЕ РАБОТЫ" CodePrefix="ГЭСН">
<Section Type="Сборник" Code="06" Name="Бетонные конструкции">
<Section Type="Таблица" Code="06-01-001" Name="Бетонная подготовка">
<NameGroup BeginName="Устройство бетонной подготовки">
<Work Code="06-01-001-01" EndName="толщиной 100 мм" MeasureUnit="100 м3"><Resources>
<Resource Code="1-100-20" EndName="Средний разряд работы 2,0" Quantity="180"/>
<Resource Code="01.7.03.01-0001" Quantity="П"/></Resources></Work>
</NameGroup></Section></Section></ResourceCategory>
<ResourceCategory Type="МАТЕРИАЛЫ" CodePrefix="ФСБЦ">
<Resource Code="01.7.03.01-0001" Name="Вода" MeasureUnit="м3"/>
</ResourceCategory></ResourcesDirectory></base>)";

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

// Every row of the base, as text.
QString everything(const QString &path)
{
    norms::sql::Connection connection(path, true);
    QString all;
    for (const char *query :
         {"SELECT group_concat(id || kind || prefix || source_file, ';') FROM collections",
          "SELECT group_concat(id || ifnull(parent_id, '') || code || name, ';') FROM sections",
          "SELECT group_concat(id || code || name || measure || content, ';') FROM norms",
          "SELECT group_concat(norm_id || position || code || name || unit || "
          "ifnull(quantity, 'NULL'), ';') FROM resources",
          "SELECT group_concat(code || name || unit, ';') FROM catalogue",
          "SELECT group_concat(rowid || words, ';') FROM norm_words"}) {
        norms::sql::Statement statement(connection.handle(), query);
        all += statement.next() ? statement.text(0) : QString();
        all += u'\n';
    }
    return all;
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
        writeFile(input, kPreviousBase, qsizetype(sizeof kPreviousBase - 1));
        const norms::ImportResult made = norms::importFiles(database, {input});
        if (made.outcome != norms::ImportResult::Outcome::Imported || made.norms != 1)
            propertyFailed("the previous base did not import", made.reason);
        // One file holds it all, so that a copy of it is the whole base.
        norms::sql::Connection(database).execute("PRAGMA wal_checkpoint(TRUNCATE)");
        pristine = contentsOf(database);
        pristineRows = everything(database);
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
        if (!result.reason.isEmpty() || result.collections < 1)
            propertyFailed("an import with a reason or without a collection", result.reason);
        break;
    case norms::ImportResult::Outcome::Refused:
        if (result.reason.isEmpty())
            propertyFailed("a refusal without a reason", {});
        if (everything(scratch.database) != scratch.pristineRows)
            propertyFailed("a refused import changed the base", result.reason);
        break;
    case norms::ImportResult::Outcome::Cancelled:
        propertyFailed("cancelled with nobody cancelling", {});
    }
    return 0;
}
