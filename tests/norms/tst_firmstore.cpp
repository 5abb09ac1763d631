#include "firmstore.h"
#include "footings.h"
#include "normcompute.h"
#include "normimport.h"
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
    else if (step == u"erase")
        store.erase(id);
    else
        store.remove(id);
    if (step == u"undelete")
        store.undelete(id);

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
