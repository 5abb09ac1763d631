#include "earlierschema.h"
#include "footings.h"
#include "normbrowse.h"
#include "normdb.h"
#include "normimport.h"
#include "normsample.h"
#include "normsearch.h"

#include <sqlite3.h>

#include <QTemporaryDir>
#include <QtTest>

// Search and reading through a base imported from a small file, as the user's base is made.
class NormSearchTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void findsByCodeOrWords_data();
    void findsByCodeOrWords();
    void readsANormWithItsResources();
    void browsesCollectionsSectionsAndNorms();
    void searchesTheWholeBaseWhileAnotherProgramWrites();
    void findsByResource_data();
    void findsByResource();
    void anEarlierBaseIsMigratedInPlace();
    void aMigratedBaseIsIndexedAsAnImportIndexesIt_data();
    void aMigratedBaseIsIndexedAsAnImportIndexesIt();
    void aCommonResourceListsTheFirstNormsInCodeOrder_data();
    void aCommonResourceListsTheFirstNormsInCodeOrder();

private:
    QTemporaryDir m_folder;
    std::unique_ptr<norms::NormDatabase> m_base;
    QHash<QString, qint64> m_ids; // by full code
};

void NormSearchTest::initTestCase()
{
    QVERIFY(m_folder.isValid());
    const QString file = m_folder.filePath(QStringLiteral("ГЭСН.xml"));
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(kFootingsBase);
    out.close();
    const QString path = m_folder.filePath(QStringLiteral("norms.db"));
    const norms::ImportResult result = norms::importFiles(path, {file});
    QCOMPARE(result.reason, QString());
    QCOMPARE(result.norms, 6);
    norms::NormDatabase::Opened opened = norms::NormDatabase::open(path);
    QVERIFY(opened.database);
    m_base = std::move(opened.database);
    for (const norms::NormHit &hit : norms::searchNorms(*m_base, QStringLiteral("0")))
        m_ids.insert(hit.prefix + u' ' + hit.code, hit.id);
    QCOMPARE(m_ids.size(), 6);
    // The import reads on a thread of its own while the window searches on another.
    QVERIFY(sqlite3_threadsafe() != 0);
}

void NormSearchTest::findsByCodeOrWords_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("found"); // prefix and code, in the order shown

    QTest::newRow("beginning of a code, ordered by code, every collection")
        << "06-01-001"
        << QStringList{"ГЭСН 06-01-001-01", "ГЭСН 06-01-001-02", "ГЭСНр 06-01-001-09"};
    QTest::newRow("a whole code with its prefix")
        << "ГЭСН 06-01-001-01" << QStringList{"ГЭСН 06-01-001-01"};
    QTest::newRow("the prefix in any case keeps to its collection")
        << "гэснр 06-01" << QStringList{"ГЭСНр 06-01-001-09"};
    QTest::newRow("a code nothing begins with") << "06-02" << QStringList{};
    QTest::newRow("word beginnings, every one needed")
        << "бетон фунд"
        << QStringList{"ГЭСН 06-01-001-01", "ГЭСН 06-01-001-02", "ГЭСНр 06-01-001-09"};
    QTest::newRow("any case") << "БЕТОНИР" << QStringList{"ГЭСН 06-01-002-03"};
    QTest::newRow("ё typed finds е")
        << "щебёночн" << QStringList{"ГЭСН 06-01-002-01", "ГЭСН 06-01-002-02"};
    QTest::newRow("е typed finds ё") << "щебеночной фунд" << QStringList{"ГЭСН 06-01-002-01"};
    QTest::newRow("a word inside another is no beginning") << "етон" << QStringList{};
    QTest::newRow("code and words together")
        << "06-01 фундаментов"
        << QStringList{"ГЭСН 06-01-001-01", "ГЭСН 06-01-001-02", "ГЭСНр 06-01-001-09"};
    QTest::newRow("a number among words is a word")
        << "фундамент 5" << QStringList{"ГЭСН 06-01-001-02"};
    QTest::newRow("punctuation only") << " «,» " << QStringList{};
    QTest::newRow("a quote cannot break the query")
        << "бетон\""
        << QStringList{"ГЭСН 06-01-001-01", "ГЭСН 06-01-001-02", "ГЭСНр 06-01-001-09",
                       "ГЭСН 06-01-002-03"};
}

void NormSearchTest::findsByCodeOrWords()
{
    QFETCH(QString, query);
    QFETCH(QStringList, found);
    QStringList codes;
    for (const norms::NormHit &hit : norms::searchNorms(*m_base, query))
        codes.append(hit.prefix + u' ' + hit.code);
    QCOMPARE(codes, found);
}

void NormSearchTest::readsANormWithItsResources()
{
    const std::optional<norms::Norm> norm =
        norms::readNorm(*m_base, m_ids.value(QStringLiteral("ГЭСН 06-01-001-02")));
    QVERIFY(norm);
    QCOMPARE(norm->fullCode(), QStringLiteral("ГЭСН 06-01-001-02"));
    QCOMPARE(norm->name,
             QStringLiteral("Устройство бетонных фундаментов общего назначения объемом: до 5 м3"));
    QCOMPARE(norm->measure, QStringLiteral("100 м3"));
    QCOMPARE(norm->content, QStringLiteral("Установка опалубки.\nУкладка бетона."));
    using G = norms::ResourceGroup;
    const QList<norms::NormResource> expected{
        {"1-100-30", "Средний разряд работы 3,0", "чел.-ч", 180.0, G::Labour, false, {}},
        {"2", "Затраты труда машинистов", "чел.-ч", 0.5, G::Labour, false, {}},
        {"91.14.02-001", "Автомобили бортовые", "маш.-ч", 1.2, G::Machine, false, {}},
        {"01.7.15.06-0111", "Гвозди строительные", "т", 0.005, G::Material, false, {}},
        {"04.1.02.05", "Смеси бетонные", "м3", std::nullopt, G::Material, true, "04.1.02.05.01"},
    };
    QCOMPARE(norm->resources, expected);
}

void NormSearchTest::browsesCollectionsSectionsAndNorms()
{
    // Down the first branch of each level, as the tree opens it.
    QStringList path;
    QList<norms::BrowseNode> level = norms::collections(*m_base);
    QCOMPARE(level.size(), 2);
    while (!level.isEmpty()) {
        const norms::BrowseNode node = level.front();
        path.append(node.type.isEmpty() ? node.code : node.type + u' ' + node.code);
        level = norms::children(*m_base, node);
    }
    QCOMPARE(path,
             (QStringList{"ГЭСН", "Сборник 06", "Раздел 1", "Таблица 06-01-001", "06-01-001-02"}));
}

void NormSearchTest::searchesTheWholeBaseWhileAnotherProgramWrites()
{
    // A second program's import holds the write lock with the old norms deleted but not yet
    // committed: this one still finds the base as it was, without waiting.
    norms::sql::Connection importer(m_folder.filePath(QStringLiteral("norms.db")));
    norms::sql::Transaction import(importer);
    importer.execute("DELETE FROM norms");
    QElapsedTimer waited;
    waited.start();
    QCOMPARE(norms::searchNorms(*m_base, QStringLiteral("06-01-002")).size(), 3);
    QVERIFY(waited.elapsed() < 1000);
}

void NormSearchTest::findsByResource_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("found"); // the norm, the line's code, its rate and unit

    QTest::newRow("a material by its name")
        << "гвозди" << QStringList{"ГЭСН 06-01-001-02|01.7.15.06-0111|0.005|т"};
    QTest::newRow("a machine by the beginning of its code")
        << "91.14" << QStringList{"ГЭСН 06-01-001-02|91.14.02-001|1.2|маш.-ч"};
    QTest::newRow("labour by its whole code")
        << "1-100-30" << QStringList{"ГЭСН 06-01-001-02|1-100-30|180|чел.-ч"};
    QTest::newRow("a line without a rate")
        << "смеси" << QStringList{"ГЭСН 06-01-001-02|04.1.02.05|П|м3"};
    QTest::newRow("a code nothing begins with") << "01.8" << QStringList{};
    QTest::newRow("a word no resource has") << "опалубк" << QStringList{};
}

void NormSearchTest::findsByResource()
{
    QFETCH(QString, query);
    QFETCH(QStringList, found);
    QStringList lines;
    for (const norms::ResourceHit &hit : norms::searchByResource(*m_base, query))
        lines.append(QStringList{hit.norm.fullCode(), hit.resource.code,
                                 hit.resource.rate ? QString::number(*hit.resource.rate)
                                                   : QStringLiteral("П"),
                                 hit.resource.unit}
                         .join(u'|'));
    QCOMPARE(lines, found);
}

void NormSearchTest::anEarlierBaseIsMigratedInPlace()
{
    // The base as the previous schema kept it: the words keyed by the norms' ids, no ranks, no
    // index of the resources.
    const QString path = m_folder.filePath(QStringLiteral("earlier.db"));
    QVERIFY(QFile::copy(m_folder.filePath(QStringLiteral("norms.db")), path));
    {
        norms::sql::Connection earlier(path);
        earlier.execute(kUndoCodeIndex);
        earlier.execute(kUndoPriceLists);
        earlier.execute(kUndoReferences);
        earlier.execute(kUndoSearchRanks);
        earlier.execute("PRAGMA user_version = 3");
    }
    norms::NormDatabase::Opened opened = norms::NormDatabase::open(path);
    QVERIFY2(opened.database, qPrintable(opened.refusal));
    QStringList codes;
    for (const norms::NormHit &hit : norms::searchNorms(*opened.database, QStringLiteral("бетон")))
        codes.append(hit.fullCode());
    QCOMPARE(codes, (QStringList{"ГЭСН 06-01-001-01", "ГЭСН 06-01-001-02", "ГЭСНр 06-01-001-09",
                                 "ГЭСН 06-01-002-03"}));
    QCOMPARE(norms::searchByResource(*opened.database, QStringLiteral("гвозд")).size(), 1);
}

void NormSearchTest::aMigratedBaseIsIndexedAsAnImportIndexesIt_data()
{
    QTest::addColumn<QByteArray>("query");
    // The import makes these anew: its tokenizer and ranks must be those of the migrations.
    QTest::newRow("tokenizer of the norms' words")
        << QByteArray("SELECT substr(sql, instr(sql, 'USING')) FROM sqlite_master "
                      "WHERE name = 'norm_words'");
    QTest::newRow("tokenizer of the resources' words")
        << QByteArray("SELECT substr(sql, instr(sql, 'USING')) FROM sqlite_master "
                      "WHERE name = 'resource_words'");
    QTest::newRow("ranks in code order") << QByteArray("SELECT code || ' ' || place FROM norms "
                                                       "ORDER BY id");
    QTest::newRow("resources and their uses")
        << QByteArray("SELECT code || '|' || name || '|' || uses FROM resource_names ORDER BY id");
}

void NormSearchTest::aMigratedBaseIsIndexedAsAnImportIndexesIt()
{
    QFETCH(QByteArray, query);
    const QString path = m_folder.filePath(QStringLiteral("migrated.db"));
    if (!QFile::exists(path)) {
        QVERIFY(QFile::copy(m_folder.filePath(QStringLiteral("norms.db")), path));
        {
            norms::sql::Connection earlier(path);
            earlier.execute(kUndoCodeIndex);
            earlier.execute(kUndoPriceLists);
            earlier.execute(kUndoReferences);
            earlier.execute(kUndoSearchRanks);
            earlier.execute("PRAGMA user_version = 3");
        }
        QVERIFY(norms::NormDatabase::open(path).database);
    }
    const auto rows = [&](const QString &base) {
        norms::sql::Connection connection(base);
        norms::sql::Statement statement(connection.handle(), query.constData());
        QStringList texts;
        while (statement.next())
            texts.append(statement.text(0));
        return texts;
    };
    const QStringList imported = rows(m_folder.filePath(QStringLiteral("norms.db")));
    QVERIFY(!imported.isEmpty());
    QCOMPARE(rows(path), imported);
}

void NormSearchTest::aCommonResourceListsTheFirstNormsInCodeOrder_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");

    // Every norm has a labour line: the norms are walked in code order up to the limit.
    QTest::newRow("every norm's line") << "средн разряд" << 200 << "ГЭСН 01-01-001-01|1-100-20|П"
                                       << "ГЭСН 01-02-025-08|1-100-39|61.69";
    // One norm in thirty: its lines are read and put in code order.
    QTest::newRow("a line of few norms") << "1-100-39" << 167 << "ГЭСН 01-01-003-04|1-100-39|5.89"
                                         << "ГЭСН 06-02-025-08|1-100-39|53.74";
}

void NormSearchTest::aCommonResourceListsTheFirstNormsInCodeOrder()
{
    QFETCH(QString, query);
    QFETCH(int, count);
    QFETCH(QString, first);
    QFETCH(QString, last);
    static std::unique_ptr<norms::NormDatabase> base;
    if (!base) {
        const QString file = m_folder.filePath(QStringLiteral("large.xml"));
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        normsample::BaseShape shape;
        shape.norms = 5000;
        normsample::writeBase(out, shape);
        out.close();
        const QString path = m_folder.filePath(QStringLiteral("large.db"));
        QCOMPARE(norms::importFiles(path, {file}).reason, QString());
        base = std::move(norms::NormDatabase::open(path).database);
        QVERIFY(base);
    }
    const QList<norms::ResourceHit> hits = norms::searchByResource(*base, query);
    QCOMPARE(hits.size(), count);
    const auto line = [](const norms::ResourceHit &hit) {
        return QStringList{hit.norm.fullCode(), hit.resource.code,
                           hit.resource.rate ? QString::number(*hit.resource.rate)
                                             : QStringLiteral("П")}
            .join(u'|');
    };
    QCOMPARE(line(hits.front()), first);
    QCOMPARE(line(hits.back()), last);
    for (qsizetype i = 1; i < hits.size(); ++i)
        QVERIFY2(hits[i - 1].norm.code < hits[i].norm.code, qPrintable(hits[i].norm.code));
}

QTEST_GUILESS_MAIN(NormSearchTest)
#include "tst_normsearch.moc"
