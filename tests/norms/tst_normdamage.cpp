// A norm database the program cannot use: a damaged one is refused, then moved aside by an
// import that makes a new one; a newer program's one is refused and never touched.

#include "normdb.h"
#include "normimport.h"
#include "normsample.h"
#include "sqlite.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using norms::ImportResult;
using norms::NormDatabase;

namespace {

QByteArray contentsOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write the sample file");
}

} // namespace

class NormDamageTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void damagedIsRefusedThenMovedAsideByImport_data();
    void damagedIsRefusedThenMovedAsideByImport();
    void newerIsRefusedAndUntouched();

private:
    std::unique_ptr<QTemporaryDir> m_folder;
    QString m_database;
    QString m_sample;
};

void NormDamageTest::init()
{
    m_folder = std::make_unique<QTemporaryDir>();
    QDir(m_folder->path()).mkpath(QStringLiteral("data"));
    m_database = m_folder->filePath(QStringLiteral("data/norms.db"));
    normsample::BaseShape shape;
    shape.norms = 12;
    m_sample = m_folder->filePath(QStringLiteral("ГЭСН.xml"));
    writeFile(m_sample, normsample::base(shape));
}

void NormDamageTest::damagedIsRefusedThenMovedAsideByImport_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("garbage") << QByteArray(4096, '\x5a');
    QByteArray header("SQLite format 3");
    header.append('\0');
    QTest::newRow("a database header over garbage pages") << header + QByteArray(8176, '\x13');
}

void NormDamageTest::damagedIsRefusedThenMovedAsideByImport()
{
    QFETCH(QByteArray, bytes);
    writeFile(m_database, bytes);
    const NormDatabase::Opened opened = NormDatabase::open(m_database);
    QCOMPARE(opened.problem, NormDatabase::Problem::Damaged);
    QCOMPARE(opened.refusal, QStringLiteral("Файл «%1» поврежден или не является базой норм. "
                                            "Нормы недоступны; загрузите базу норм заново.")
                                 .arg(m_database));

    const ImportResult result = norms::importFiles(m_database, {m_sample});
    QCOMPARE(result.outcome, ImportResult::Outcome::Imported);
    QCOMPARE(result.norms, 12);
    QVERIFY2(result.movedAside.startsWith(m_database + QStringLiteral(".damaged-")),
             qPrintable(result.movedAside));
    // Kept whole, for whoever wants to look into it.
    QCOMPARE(contentsOf(result.movedAside), bytes);
    const NormDatabase::Opened fresh = NormDatabase::open(m_database);
    QCOMPARE(fresh.problem, NormDatabase::Problem::None);
    QVERIFY(fresh.database->hasNorms());
}

void NormDamageTest::newerIsRefusedAndUntouched()
{
    {
        const NormDatabase::Opened made = NormDatabase::open(m_database);
        QVERIFY(made.database);
        made.database->connection().execute("PRAGMA user_version = 7");
        // Everything in the main file, so that its bytes are all there is to compare.
        made.database->connection().execute("PRAGMA journal_mode = DELETE");
    }
    const QByteArray before = contentsOf(m_database);
    const ImportResult result = norms::importFiles(m_database, {m_sample});
    QCOMPARE(result.outcome, ImportResult::Outcome::Refused);
    QCOMPARE(result.reason,
             QStringLiteral("База норм «%1» создана более новой версией программы (версия схемы "
                            "7, эта программа знает до 1). Нормы недоступны; обновите программу "
                            "или загрузите базу норм заново.")
                 .arg(m_database));
    QCOMPARE(contentsOf(m_database), before);
    QVERIFY(!QFile::exists(m_database + QStringLiteral("-wal")));
    QCOMPARE(QDir(m_folder->filePath(QStringLiteral("data"))).entryList(QDir::Files),
             QStringList{QStringLiteral("norms.db")});
}

QTEST_GUILESS_MAIN(NormDamageTest)
#include "tst_normdamage.moc"
