#include "earlierschema.h"
#include "firmstore.h"
#include "footings.h"
#include "normcompute.h"
#include "normimport.h"
#include "normlookup.h"
#include "normsearch.h"
#include "sqlite.h"

#include <QTemporaryDir>
#include <QtTest>

using norms::firm::Draft;
using norms::firm::FirmStore;

// The firm's norms through the store, as the window makes, changes, restores and deletes them,
// over a base imported from a small federal file.
class FirmStoreTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void checksFieldsAsTyped_data();
    void checksFieldsAsTyped();
    void versionsKeepEveryRateAndWhatChanged();
    void undoStepsBringBackWhatWasThere_data();
    void undoStepsBringBackWhatWasThere();
    void firmNormsAreFoundFirstAndSurviveAFederalImport();
    void firmCodesAndFollowersOfFederalCodes_data();
    void firmCodesAndFollowersOfFederalCodes();
    void refusesACodeAnotherFirmNormHas();
    void fingerprintsStayAsStored();
    void earlierBasesKeepTheirNormsAndHistories_data();
    void earlierBasesKeepTheirNormsAndHistories();
    void deletingTakesLinesAndWordsAlong_data();
    void deletingTakesLinesAndWordsAlong();
    void searchKnowsTheFirmPrefixAsChanged_data();
    void searchKnowsTheFirmPrefixAsChanged();

private:
    Draft fromNails(double nailsRate) const;
    std::optional<double> nailsRate(qint64 normId);
    QStringList found(const QString &query);

    QTemporaryDir m_folder;
    QString m_file;
    std::unique_ptr<norms::NormDatabase> m_base;
    std::optional<norms::Norm> m_federal;
    const QDateTime m_at{QDate(2026, 3, 3), QTime(10, 0)};
};

void FirmStoreTest::init()
{
    m_base.reset();
    QVERIFY(m_folder.isValid());
    m_file = m_folder.filePath(QStringLiteral("ГЭСН.xml"));
    QFile out(m_file);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(kFootingsBase);
    out.close();
    const QString path = m_folder.filePath(QStringLiteral("norms.db"));
    QFile::remove(path);
    QCOMPARE(norms::importFiles(path, {m_file}).reason, QString());
    m_base = std::move(norms::NormDatabase::open(path).database);
    QVERIFY(m_base);
    const QList<norms::NormHit> hits = norms::searchNorms(*m_base, QStringLiteral("06-01-001-02"));
    QCOMPARE(hits.size(), 1);
    m_federal = norms::readNorm(*m_base, hits.front().id);
    QVERIFY(m_federal);
}

Draft FirmStoreTest::fromNails(double nailsRate) const
{
    Draft draft = norms::firm::draftFrom(*m_federal);
    draft.source = QStringLiteral("Калькуляция № 12 от 03.03.2026, утв. главным инженером");
    for (norms::NormResource &resource : draft.resources)
        if (resource.code == u"01.7.15.06-0111")
            resource.rate = nailsRate;
    return draft;
}

std::optional<double> FirmStoreTest::nailsRate(qint64 normId)
{
    const std::optional<norms::Norm> norm = norms::readNorm(*m_base, normId);
    if (!norm)
        return std::nullopt;
    for (const norms::NormResource &resource : norm->resources)
        if (resource.code == u"01.7.15.06-0111")
            return resource.rate;
    return std::nullopt;
}

QStringList FirmStoreTest::found(const QString &query)
{
    QStringList codes;
    for (const norms::NormHit &hit : norms::searchNorms(*m_base, query))
        codes.append(hit.fullCode() + (!hit.basedOn.isEmpty()
                                           ? QStringLiteral(" (на основе ") + hit.basedOn + u')'
                                       : hit.firm ? QStringLiteral(" (фирменная)")
                                                  : QString()));
    return codes;
}

void FirmStoreTest::checksFieldsAsTyped_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("reason"); // empty: accepted

    QTest::newRow("rate in the regional notation") << "rate"
                                                   << "0,025"
                                                   << "";
    QTest::newRow("rate with a point") << "rate"
                                       << "0.025"
                                       << "Норма расхода — число не меньше нуля, например «0,025».";
    QTest::newRow("negative rate") << "rate"
                                   << "-1"
                                   << "Норма расхода — число не меньше нуля, например «0,025».";
    QTest::newRow("empty rate") << "rate"
                                << ""
                                << "Введите норму расхода на измеритель.";
    QTest::newRow("measure of a number and a unit") << "measure"
                                                    << "100 м3"
                                                    << "";
    QTest::newRow("measure of a unit alone") << "measure"
                                             << "шт"
                                             << "";
    QTest::newRow("measure of a number alone")
        << "measure"
        << "100"
        << "Измеритель — число больше нуля и единица, например «100 м3», «1 т» или «шт».";
    QTest::newRow("empty source")
        << "source"
        << "  "
        << "Укажите источник нормы, например «Калькуляция № 12 от 03.03.2026, утв. главным "
           "инженером».";
    QTest::newRow("code with a space") << "code"
                                       << "ФН 06"
                                       << "Код нормы пишется без пробелов.";
}

void FirmStoreTest::checksFieldsAsTyped()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, reason);
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    const QHash<QString, QString (*)(const QString &)> checks{
        {QStringLiteral("rate"), norms::firm::rateProblem},
        {QStringLiteral("measure"), norms::firm::measureProblem},
        {QStringLiteral("source"), norms::firm::sourceProblem},
        {QStringLiteral("code"), norms::firm::codeProblem}};
    QCOMPARE(checks.value(field)(text), reason);
}

void FirmStoreTest::versionsKeepEveryRateAndWhatChanged()
{
    FirmStore store(*m_base);
    const FirmStore::Saved first = store.save(0, fromNails(0.005), QStringLiteral("ivanov"), m_at);
    const FirmStore::Saved second =
        store.save(first.id, fromNails(0.006), QStringLiteral("petrova"), m_at.addDays(1));
    QCOMPARE(second.normId, first.normId);
    QCOMPARE(second.version, 2);
    QCOMPARE(nailsRate(first.normId), 0.006);
    // Saving what is there makes no version.
    QCOMPARE(store.save(first.id, fromNails(0.006), QStringLiteral("petrova"), m_at).version, 2);

    const FirmStore::Saved restored =
        store.restore(first.id, 1, QStringLiteral("sidorov"), m_at.addDays(2));
    QCOMPARE(restored.version, 3);
    QCOMPARE(nailsRate(first.normId), 0.005);

    QStringList history;
    for (const norms::firm::Version &version : store.history(first.id))
        history.append(QStringLiteral("%1 %2 %3 %4")
                           .arg(version.number)
                           .arg(version.savedAt.toString(QStringLiteral("dd.MM.yyyy")),
                                version.login, version.changes));
    QCOMPARE(history,
             (QStringList{"1 03.03.2026 ivanov создана",
                          "2 04.03.2026 petrova норма ресурса «Гвозди строительные»: 0,005 → 0,006",
                          "3 05.03.2026 sidorov восстановлена версия 1: норма ресурса «Гвозди "
                          "строительные»: 0,006 → 0,005"}));

    const std::optional<norms::Norm> norm = norms::readNorm(*m_base, first.normId);
    QVERIFY(norm && norm->firm);
    QCOMPARE(norm->fullCode(), QStringLiteral("ФН-06-01-001-02"));
    QCOMPARE(norm->version, 3);
    QCOMPARE(norm->origin, QStringLiteral("ГЭСН 06-01-001-02"));
    QCOMPARE(store.origin(*norm)->id, m_federal->id);
    // The journal names the firm code, the version and the source.
    const QStringList block = norms::journalBlock(norms::computeNorm(*norm, QStringLiteral("200")));
    QCOMPARE(block.mid(0, 2),
             (QStringList{"Расчет по норме: ФН-06-01-001-02 Устройство бетонных фундаментов "
                          "общего назначения объемом: до 5 м3",
                          "Фирменная норма, версия 3; источник: Калькуляция № 12 от 03.03.2026, "
                          "утв. главным инженером"}));
    QVERIFY(block.contains(QStringLiteral("Гвозди строительные, т: 0,01")));
}

void FirmStoreTest::undoStepsBringBackWhatWasThere_data()
{
    QTest::addColumn<QString>("step");
    QTest::addColumn<bool>("searchable");
    QTest::addColumn<double>("rate"); // of the nails once the step is done; 0 for no norm

    QTest::newRow("undo of an edit") << "dropLastVersion" << true << 0.005;
    QTest::newRow("delete") << "remove" << false << 0.0;
    QTest::newRow("undo of a delete") << "undelete" << true << 0.006;
    QTest::newRow("undo of the creation") << "erase" << false << 0.0;
    QTest::newRow("creation undone and done again") << "recreate" << true << 0.006;
}

void FirmStoreTest::undoStepsBringBackWhatWasThere()
{
    QFETCH(QString, step);
    QFETCH(bool, searchable);
    QFETCH(double, rate);
    FirmStore store(*m_base);
    const qint64 id = store.save(0, fromNails(0.005), QStringLiteral("ivanov"), m_at).id;
    store.save(id, fromNails(0.006), QStringLiteral("ivanov"), m_at);
    if (step == u"dropLastVersion")
        store.dropLastVersion(id);
    else if (step == u"erase" || step == u"recreate")
        store.erase(id);
    else
        store.remove(id);
    if (step == u"undelete")
        store.undelete(id);
    // Done again, it is back under the id the stack knows it by.
    if (step == u"recreate")
        store.save(id, fromNails(0.006), QStringLiteral("ivanov"), m_at);

    QCOMPARE(found(QStringLiteral("ФН-06")).size(), searchable ? 1 : 0);
    const std::optional<norms::firm::Entry> entry = store.entry(id);
    QCOMPARE(entry.has_value(), step != u"erase");
    if (searchable)
        QCOMPARE(nailsRate(entry->normId), rate);
    // A deleted norm keeps its code: a new one cannot take it while undo may bring it back.
    QCOMPARE(store.codeTaken(QStringLiteral("ФН-06-01-001-02")), step != u"erase");
}

void FirmStoreTest::firmNormsAreFoundFirstAndSurviveAFederalImport()
{
    FirmStore store(*m_base);
    store.save(0, fromNails(0.006), QStringLiteral("ivanov"), m_at);
    const QStringList expected{"ФН-06-01-001-02 (фирменная)", "ГЭСН 06-01-001-02"};
    QCOMPARE(found(QStringLiteral("фундаментов до 5")), expected);
    QCOMPARE(found(QStringLiteral("фн-06-01-001")), QStringList{expected.front()});

    m_base.reset();
    const QString path = m_folder.filePath(QStringLiteral("norms.db"));
    QCOMPARE(norms::importFiles(path, {m_file}).reason, QString());
    m_base = std::move(norms::NormDatabase::open(path).database);
    QCOMPARE(found(QStringLiteral("фундаментов до 5")), expected);
}

void FirmStoreTest::firmCodesAndFollowersOfFederalCodes_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<bool>("deleted");
    QTest::addColumn<QStringList>("found");

    const QString firm = QStringLiteral("ФН-06-01-001-02 (фирменная)");
    const QString follower = QStringLiteral("ФН-06-01-001-02 (на основе ГЭСН 06-01-001-02)");
    QTest::newRow("prefix and digits apart, lower case") << "фн 06" << false << QStringList{firm};
    QTest::newRow("prefix and digits apart, upper case")
        << "ФН 06-01-001" << false << QStringList{firm};
    QTest::newRow("a firm code nothing begins with") << "фн 07" << false << QStringList{};
    QTest::newRow("after its federal norm, among the others")
        << "06-01-001" << false
        << QStringList{"ГЭСН 06-01-001-01", "ГЭСН 06-01-001-02", follower, "ГЭСНр 06-01-001-09"};
    QTest::newRow("after the federal code with its prefix")
        << "ГЭСН 06-01-001-02" << false << QStringList{"ГЭСН 06-01-001-02", follower};
    QTest::newRow("a deleted firm norm follows nothing")
        << "ГЭСН 06-01-001-02" << true << QStringList{"ГЭСН 06-01-001-02"};
}

void FirmStoreTest::firmCodesAndFollowersOfFederalCodes()
{
    QFETCH(QString, query);
    QFETCH(bool, deleted);
    QFETCH(QStringList, found);
    FirmStore store(*m_base);
    const qint64 id = store.save(0, fromNails(0.006), QStringLiteral("ivanov"), m_at).id;
    if (deleted)
        store.remove(id);
    QCOMPARE(this->found(query), found);
}

void FirmStoreTest::refusesACodeAnotherFirmNormHas()
{
    FirmStore store(*m_base);
    store.save(0, fromNails(0.005), QStringLiteral("ivanov"), m_at);
    try {
        store.save(0, fromNails(0.007), QStringLiteral("ivanov"), m_at);
        QFAIL("a second norm took the code");
    } catch (const norms::sql::Failure &failure) {
        QCOMPARE(failure.message, QStringLiteral("Код «ФН-06-01-001-02» уже есть у другой "
                                                 "фирменной нормы"));
    }
    QCOMPARE(found(QStringLiteral("ФН")).size(), 1);
}

void FirmStoreTest::fingerprintsStayAsStored()
{
    // A base keeps the fingerprint of what it last took from a file: the same draft must hash as
    // it did when the fingerprint was stored.
    norms::NormResource line;
    line.code = QStringLiteral("1");
    line.group = norms::ResourceGroup::Labour;
    line.rate = 2.5;
    line.abstract = true;
    line.technologyGroups = QStringLiteral("04");
    const Draft draft{QStringLiteral("ФН-1"),
                      QStringLiteral("Н"),
                      QStringLiteral("шт"),
                      QString(),
                      QStringLiteral("С"),
                      QStringLiteral("ГЭСН 1"),
                      {line}};
    QCOMPARE(norms::firm::fingerprint(draft),
             QByteArray("5f96a3066dacd3209e04b66fe80d19dac7d1cc2d3f1289150b195ff626f63848"));
}

void FirmStoreTest::earlierBasesKeepTheirNormsAndHistories_data()
{
    QTest::addColumn<int>("schema");
    QTest::newRow("the first, before firm norms") << 1;
    QTest::newRow("firm norms, before prices") << 2;
}

void FirmStoreTest::earlierBasesKeepTheirNormsAndHistories()
{
    QFETCH(int, schema);
    qint64 firmId = 0;
    QList<norms::firm::Version> history;
    if (schema >= 2) {
        FirmStore store(*m_base);
        firmId = store.save(0, fromNails(0.005), QStringLiteral("ivanov"), m_at).id;
        store.save(firmId, fromNails(0.006), QStringLiteral("petrova"), m_at.addDays(1));
        history = store.history(firmId);
        QCOMPARE(history.size(), 2);
        // Kept before the norms' references were.
        for (norms::firm::Version &version : history)
            version.draft.reasons.clear();
    }
    const QString path = m_base->path();
    m_base.reset();
    {
        norms::sql::Connection earlier(path);
        earlier.execute(kUndoCodeIndex);
        earlier.execute(kUndoPriceLists);
        earlier.execute(kUndoReferences);
        earlier.execute(kUndoSearchRanks);
        earlier.execute(kUndoPrices);
        if (schema < 2)
            earlier.execute(kUndoFirmNorms);
        earlier.execute(
            QByteArray("PRAGMA user_version = " + QByteArray::number(schema)).constData());
    }
    norms::NormDatabase::Opened opened = norms::NormDatabase::open(path);
    QVERIFY2(opened.database, qPrintable(opened.refusal));
    m_base = std::move(opened.database);
    QCOMPARE(norms::findNorm(*m_base, QStringLiteral("ГЭСН 06-01-001-02")), m_federal->id);
    QCOMPARE(norms::readNorm(*m_base, m_federal->id)->resources, m_federal->resources);
    QVERIFY(found(QStringLiteral("щебеночной подготовки"))
                .contains(QStringLiteral("ГЭСН 06-01-002-01")));
    if (schema >= 2) {
        FirmStore store(*m_base);
        QCOMPARE(store.history(firmId), history);
        QCOMPARE(nailsRate(store.entry(firmId)->normId), 0.006);
    }
}

void FirmStoreTest::deletingTakesLinesAndWordsAlong_data()
{
    // Each count is taken of the norm (?1), its place among the words (?2), its collection (?3)
    // and the firm norm (?4): some before, none after.
    QTest::addColumn<bool>("firm");
    QTest::addColumn<QString>("deletion");
    QTest::addColumn<QStringList>("gone");

    const QString lines = QStringLiteral("SELECT count(*) FROM resources WHERE norm_id = ?1");
    const QString words = QStringLiteral("SELECT count(*) FROM norm_words WHERE rowid = ?2");
    const QString reasons = QStringLiteral("SELECT count(*) FROM norm_reasons WHERE norm_id = ?1");
    QTest::newRow("a norm") << false << "DELETE FROM norms WHERE id = ?1"
                            << QStringList{lines, words, reasons};
    QTest::newRow("a collection")
        << false << "DELETE FROM collections WHERE id = ?3"
        << QStringList{lines, words, reasons,
                       QStringLiteral("SELECT count(*) FROM sections WHERE "
                                      "collection_id = ?3"),
                       QStringLiteral("SELECT count(*) FROM norms WHERE collection_id = ?3")};
    QTest::newRow("a firm norm")
        << true << "DELETE FROM firm_norms WHERE id = ?4"
        << QStringList{lines, words, reasons,
                       QStringLiteral("SELECT count(*) FROM norms WHERE id = ?1"),
                       QStringLiteral("SELECT count(*) FROM firm_versions WHERE firm_id = ?4")};
}

void FirmStoreTest::deletingTakesLinesAndWordsAlong()
{
    QFETCH(bool, firm);
    QFETCH(QString, deletion);
    QFETCH(QStringList, gone);
    qint64 firmId = 0;
    qint64 normId = m_federal->id;
    if (firm) {
        const FirmStore::Saved saved =
            FirmStore(*m_base).save(0, fromNails(0.006), QStringLiteral("ivanov"), m_at);
        firmId = saved.id;
        normId = saved.normId;
    }
    sqlite3 *db = m_base->connection().handle();
    norms::sql::Statement of(db, "SELECT place, collection_id FROM norms WHERE id = ?1");
    of.bind(1, normId);
    QVERIFY(of.next());
    const qint64 place = of.integer(0);
    const qint64 collection = of.integer(1);
    const QList<qint64> values{normId, place, collection, firmId};
    const auto prepared = [&](const QString &query) {
        norms::sql::Statement statement(db, query);
        for (int parameter = 1; parameter <= values.size(); ++parameter)
            if (query.contains(u'?' + QString::number(parameter)))
                statement.bind(parameter, values.at(parameter - 1));
        return statement;
    };
    const auto count = [&](const QString &query) {
        norms::sql::Statement statement = prepared(query);
        return statement.next() ? statement.integer(0) : -1;
    };
    for (const QString &query : gone)
        QVERIFY2(count(query) > 0, qPrintable(query));
    const qint64 otherNorms =
        count(QStringLiteral("SELECT count(*) FROM norms WHERE id <> ?1 AND collection_id = ?3"));
    prepared(deletion).run();
    for (const QString &query : gone)
        QVERIFY2(count(query) == 0, qPrintable(query));
    // The collection's other norms stay, unless the collection went.
    if (!deletion.contains(u"collections"))
        QCOMPARE(count(QStringLiteral("SELECT count(*) FROM norms WHERE collection_id = ?3")),
                 otherNorms);
}

void FirmStoreTest::searchKnowsTheFirmPrefixAsChanged_data()
{
    QTest::addColumn<bool>("elsewhere"); // by another program on the same file
    QTest::newRow("through this base") << false;
    QTest::newRow("by another program") << true;
}

// The search keeps the collections' prefixes between keys; a changed one is known at once.
void FirmStoreTest::searchKnowsTheFirmPrefixAsChanged()
{
    QFETCH(bool, elsewhere);
    FirmStore(*m_base).save(0, fromNails(0.006), QStringLiteral("ivanov"), m_at);
    const QStringList firm{QStringLiteral("ФН-06-01-001-02 (фирменная)")};
    // The prefix alone lists the collection's norms.
    QCOMPARE(found(QStringLiteral("фн")), firm);
    QCOMPARE(found(QStringLiteral("оф")), QStringList());
    if (elsewhere) {
        norms::sql::Connection other(m_folder.filePath(QStringLiteral("norms.db")));
        other.execute("UPDATE collections SET prefix = 'ОФ' WHERE kind = 'firm'");
    } else {
        FirmStore(*m_base).setPrefix(QStringLiteral("ОФ"));
    }
    QCOMPARE(found(QStringLiteral("оф")), firm);
}

QTEST_GUILESS_MAIN(FirmStoreTest)
#include "tst_firmstore.moc"
