// The firm's norms shared through one file: what the file says, what a colleague's base takes
// from it, what it never touches, and the conflicts of a norm changed on both sides.

#include "baserows.h"
#include "firmexchange.h"
#include "firmstore.h"
#include "footings.h"
#include "normbrowse.h"
#include "normdb.h"
#include "normimport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace norms;
using namespace norms::firm;

namespace {

const QString kCode = QStringLiteral("ФН-06-01-001-01");

// Moscow time whatever the machine's zone (Wine passes no TZ on), as the file keeps the offset.
QDateTime moment(int day)
{
    return QDateTime(QDate(2026, 3, day), QTime(10, 0), Qt::OffsetFromUTC, 3 * 3600);
}

// Every kind of line: labour and machines by code, labour without a code, «П», and a rate
// whose shortest text has seventeen digits.
Draft sample(double labour)
{
    Draft draft{kCode,
                QStringLiteral("Устройство фундаментов с пропиткой"),
                QStringLiteral("100 м3"),
                QStringLiteral("Установка опалубки.\n\nУкладка бетона."),
                QStringLiteral("Калькуляция № 12 от 03.03.2026"),
                QStringLiteral("ГЭСН 06-01-001-01"),
                {}};
    draft.resources = {
        {QStringLiteral("1-100-30"), QStringLiteral("Средний разряд работы 3,0"),
         QStringLiteral("чел.-ч"), labour, ResourceGroup::Labour},
        {QStringLiteral("91.14.02-001"), QStringLiteral("Автомобили бортовые"),
         QStringLiteral("маш.-ч"), 1.2, ResourceGroup::Machine},
        {QString(), QStringLiteral("Монтажники фирмы"), QStringLiteral("чел.-ч"), 12.5,
         ResourceGroup::Labour},
        {QString(), QStringLiteral("Смесь фирменная"), QStringLiteral("м3"), std::nullopt,
         ResourceGroup::Material},
        {QStringLiteral("01.7.15.06-0111"), QStringLiteral("Гвозди строительные"),
         QStringLiteral("т"), 0.1 + 0.2, ResourceGroup::Material},
    };
    draft.reasons = {{QStringLiteral("Пр/812-006.0"), QStringLiteral("Пр/774-006.0")}};
    return draft;
}

struct Base
{
    explicit Base(const QString &path) : path(path), database(NormDatabase::open(path).database) {}
    FirmStore store() { return FirmStore(*database); }
    Version current(const QString &code = kCode)
    {
        return *store().currentVersion(store().find(code)->id);
    }
    QList<Version> history(const QString &code = kCode)
    {
        return store().history(store().find(code)->id);
    }
    QString exportTo(const QString &file) { return exportFirmNorms(*database, file).reason; }
    ImportResult import(const QStringList &files) { return importFiles(path, files); }

    QString path;
    std::unique_ptr<NormDatabase> database;
};

// The federal collections' rows alone.
QString federalRows(const QString &path)
{
    sql::Connection connection(path, true);
    sql::Statement statement(connection.handle(),
                             "SELECT group_concat(c.prefix || n.id || n.code || n.name || "
                             "(SELECT group_concat(r.code || r.quantity) FROM resources r WHERE "
                             "r.norm_id = n.id), ';') FROM norms n JOIN collections c ON c.id = "
                             "n.collection_id WHERE c.kind = 'federal'");
    return statement.next() ? statement.text(0) : QString();
}

} // namespace

class FirmExchangeTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void fileIsLaidOutAsTheFederalOnes_data();
    void fileIsLaidOutAsTheFederalOnes();
    void colleagueGetsTheSameNormsAndHistory();
    void mergesByWhatChangedWhere_data();
    void mergesByWhatChangedWhere();
    void resolvesAConflict_data();
    void resolvesAConflict();
    void aFailedResolutionLeavesEveryConflict();
    void renamedInTheFileIsTheSameNorm();
    void neverTouchesTheFederalBase();
    void signsTheJournalLacksAreRespelled();
    void brokenFileChangesNothing_data();
    void brokenFileChangesNothing();

private:
    QString file(const QString &name) const { return m_folder->filePath(name); }
    // A norm with two versions on «ours», shared with «theirs» through firm.xml.
    void shareOneNorm();

    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<Base> m_ours;
    std::unique_ptr<Base> m_theirs;
};

void FirmExchangeTest::init()
{
    m_folder = std::make_unique<QTemporaryDir>();
    m_ours = std::make_unique<Base>(file(QStringLiteral("ours.db")));
    m_theirs = std::make_unique<Base>(file(QStringLiteral("theirs.db")));
}

void FirmExchangeTest::shareOneNorm()
{
    const qint64 id = m_ours->store().save(0, sample(180), QStringLiteral("ivanov"), moment(3)).id;
    m_ours->store().save(id, sample(200), QStringLiteral("petrov"), moment(4));
    QCOMPARE(m_ours->exportTo(file(QStringLiteral("firm.xml"))), QString());
    QCOMPARE(m_theirs->import({file(QStringLiteral("firm.xml"))}).reason, QString());
    QVERIFY(QFile::copy(file(QStringLiteral("firm.xml")), file(QStringLiteral("first.xml"))));
}

void FirmExchangeTest::fileIsLaidOutAsTheFederalOnes_data()
{
    QTest::addColumn<QString>("line");
    QTest::newRow("the firm's category")
        << R"(<ResourceCategory Type="ФИРМЕННЫЕ НОРМЫ" CodePrefix="ФН">)";
    QTest::newRow("the norm, whole code, source and current version")
        << R"(<Work Code="ФН-06-01-001-01" EndName="Устройство фундаментов с пропиткой" )"
           R"(MeasureUnit="100 м3" Source="Калькуляция № 12 от 03.03.2026" )"
           R"(Origin="ГЭСН 06-01-001-01" Version="2">)";
    QTest::newRow("a rate with a decimal point")
        << R"(<Resource Code="91.14.02-001" EndName="Автомобили бортовые" )"
           R"(MeasureUnit="маш.-ч" Quantity="1.2"/>)";
    QTest::newRow("every digit a rate needs and no more")
        << R"(MeasureUnit="т" Quantity="0.30000000000000004"/>)";
    QTest::newRow("a group the code does not tell")
        << R"(<Resource EndName="Монтажники фирмы" MeasureUnit="чел.-ч" Quantity="12.5" )"
           R"(Kind="Труд"/>)";
    QTest::newRow("no rate") << R"(<Resource EndName="Смесь фирменная" MeasureUnit="м3" )"
                                R"(Quantity="П"/>)";
    QTest::newRow("references to the overhead and profit norms")
        << R"(<ReasonItem Nr="Пр/812-006.0" Sp="Пр/774-006.0"/>)";
    QTest::newRow("a version with its moment and offset")
        << R"(<Version Number="2" Date="2026-03-04T10:00:00+03:00" Login="petrov" )"
           R"(Changes="норма ресурса «Средний разряд работы 3,0»: 180 → 200")";
}

void FirmExchangeTest::fileIsLaidOutAsTheFederalOnes()
{
    QFETCH(QString, line);
    shareOneNorm();
    QFile written(file(QStringLiteral("firm.xml")));
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(written.readAll());
    QVERIFY2(text.contains(line), qPrintable(text));
}

void FirmExchangeTest::colleagueGetsTheSameNormsAndHistory()
{
    shareOneNorm();
    const QList<Version> ours = m_ours->history();
    const QList<Version> theirs = m_theirs->history();
    QCOMPARE(theirs.size(), 2);
    for (int i = 0; i < ours.size(); ++i) {
        QCOMPARE(theirs[i].number, ours[i].number);
        QCOMPARE(theirs[i].login, ours[i].login);
        QCOMPARE(theirs[i].changes, ours[i].changes);
        QCOMPARE(theirs[i].savedAt, ours[i].savedAt);
        QVERIFY(theirs[i].draft == ours[i].draft);
    }
    const std::optional<Norm> norm =
        readNorm(*m_theirs->database, m_theirs->store().find(kCode)->normId);
    QVERIFY(norm);
    QCOMPARE(norm->resources.size(), 5);
    QCOMPARE(norm->resources[0].rate.value_or(-1), 200.0);
    QCOMPARE(norm->resources[2].code, QString());
    QCOMPARE(norm->resources[2].group, ResourceGroup::Labour);
    QVERIFY(!norm->resources[3].rate);
    QCOMPARE(norm->resources[4].rate.value_or(-1), 0.1 + 0.2);
    QCOMPARE(norm->reasons, sample(200).reasons);
    // An earlier version can be restored on the other side.
    m_theirs->store().restore(m_theirs->store().find(kCode)->id, 1, QStringLiteral("sidorov"),
                              moment(5));
    QCOMPARE(m_theirs->current().draft, sample(180));
}

void FirmExchangeTest::mergesByWhatChangedWhere_data()
{
    QTest::addColumn<double>("here");  // the rate saved here after the first import; 0 none
    QTest::addColumn<double>("there"); // the rate saved in the file's base; 0 none
    QTest::addColumn<bool>("deletedHere");
    QTest::addColumn<QString>("summary");
    QTest::addColumn<double>("rate"); // here, afterwards
    QTest::addColumn<int>("versions");
    QTest::newRow("the same file again")
        << 0.0 << 0.0 << false
        << "Фирменные нормы из «firm.xml»: новых 0, обновлено 0, без изменений 1." << 200.0 << 2;
    QTest::newRow("changed in the file only")
        << 0.0 << 210.0 << false
        << "Фирменные нормы из «firm.xml»: новых 0, обновлено 1, без изменений 0." << 210.0 << 3;
    QTest::newRow("changed here only")
        << 190.0 << 0.0 << false
        << "Фирменные нормы из «firm.xml»: новых 0, обновлено 0, без изменений 1." << 190.0 << 3;
    QTest::newRow("the same change on both sides")
        << 210.0 << 210.0 << false
        << "Фирменные нормы из «firm.xml»: новых 0, обновлено 0, без изменений 1." << 210.0 << 3;
    QTest::newRow("changed on both sides")
        << 190.0 << 210.0 << false
        << "Фирменные нормы из «firm.xml»: новых 0, обновлено 0, без изменений 0, конфликтов 1 "
           "(ФН-06-01-001-01) — выберите версию в окне «Нормы»."
        << 190.0 << 3;
    QTest::newRow("deleted here, the file unchanged")
        << 0.0 << 0.0 << true
        << "Фирменные нормы из «firm.xml»: новых 0, обновлено 0, без изменений 1." << 200.0 << 2;
    QTest::newRow("deleted here, changed in the file")
        << 0.0 << 210.0 << true
        << "Фирменные нормы из «firm.xml»: новых 0, обновлено 0, без изменений 0, конфликтов 1 "
           "(ФН-06-01-001-01) — выберите версию в окне «Нормы»."
        << 200.0 << 2;
}

void FirmExchangeTest::mergesByWhatChangedWhere()
{
    QFETCH(double, here);
    QFETCH(double, there);
    QFETCH(bool, deletedHere);
    QFETCH(QString, summary);
    QFETCH(double, rate);
    QFETCH(int, versions);
    shareOneNorm();
    Draft own = sample(1);
    own.code = QStringLiteral("ФН-99-01");
    m_theirs->store().save(0, own, QStringLiteral("sidorov"), moment(5));
    const qint64 id = m_theirs->store().find(kCode)->id;
    if (here != 0)
        m_theirs->store().save(id, sample(here), QStringLiteral("sidorov"), moment(6));
    if (deletedHere)
        m_theirs->store().remove(id);
    if (there != 0)
        m_ours->store().save(m_ours->store().find(kCode)->id, sample(there),
                             QStringLiteral("ivanov"), moment(7));
    QCOMPARE(m_ours->exportTo(file(QStringLiteral("firm.xml"))), QString());

    const ImportResult result = m_theirs->import({file(QStringLiteral("firm.xml"))});
    QCOMPARE(summaryText(result, m_theirs->path), summary);
    QCOMPARE(m_theirs->current().draft.resources[0].rate.value_or(-1), rate);
    QCOMPARE(m_theirs->history().size(), versions);
    QCOMPARE(m_theirs->store().find(kCode)->deleted, deletedHere);
    QCOMPARE(m_theirs->current(own.code).draft, own);
    // A conflict is listed once, however often the file comes.
    m_theirs->import({file(QStringLiteral("firm.xml"))});
    QCOMPARE(conflicts(*m_theirs->database).size(), result.firm.conflicts.size());
    // An older file brings nothing new, whatever happened since.
    QCOMPARE(m_theirs->import({file(QStringLiteral("first.xml"))}).firm.unchanged, 1);
    QCOMPARE(m_theirs->current().draft.resources[0].rate.value_or(-1), rate);
    QCOMPARE(m_theirs->history().size(), versions);
}

void FirmExchangeTest::resolvesAConflict_data()
{
    QTest::addColumn<bool>("theirs"); // or else ours
    QTest::addColumn<double>("labourHere");
    QTest::addColumn<double>("machinesHere");
    QTest::addColumn<double>("rate");
    QTest::addColumn<QString>("changes");
    QTest::newRow("ours") << false << 190.0 << 1.2 << 190.0
                          << "норма ресурса «Средний разряд работы 3,0»: 200 → 190";
    // What changed is told against the version here, not the file's own previous one.
    QTest::newRow("theirs") << true << 190.0 << 1.2 << 210.0
                            << "принята версия 3 из файла «firm.xml»: норма ресурса «Средний "
                               "разряд работы 3,0»: 190 → 210";
    QTest::newRow("theirs, undoing another line changed here")
        << true << 200.0 << 1.5 << 210.0
        << "принята версия 3 из файла «firm.xml»: норма ресурса «Средний разряд работы 3,0»: "
           "200 → 210; норма ресурса «Автомобили бортовые»: 1,5 → 1,2";
}

void FirmExchangeTest::resolvesAConflict()
{
    QFETCH(bool, theirs);
    QFETCH(double, labourHere);
    QFETCH(double, machinesHere);
    QFETCH(double, rate);
    QFETCH(QString, changes);
    shareOneNorm();
    const qint64 id = m_theirs->store().find(kCode)->id;
    Draft here = sample(labourHere);
    here.resources[1].rate = machinesHere;
    m_theirs->store().save(id, here, QStringLiteral("sidorov"), moment(6));
    m_ours->store().save(m_ours->store().find(kCode)->id, sample(210), QStringLiteral("ivanov"),
                         moment(7));
    m_ours->exportTo(file(QStringLiteral("firm.xml")));
    m_theirs->import({file(QStringLiteral("firm.xml"))});

    const QList<Conflict> listed = conflicts(*m_theirs->database);
    QCOMPARE(listed.size(), 1);
    QCOMPARE(listed[0].code, kCode);
    QCOMPARE(listed[0].file, QStringLiteral("firm.xml"));
    QCOMPARE(listed[0].ours.draft, here);
    QCOMPARE(listed[0].theirs.draft, sample(210));
    QCOMPARE(listed[0].theirs.login, QStringLiteral("ivanov"));

    resolve(*m_theirs->database, listed[0].id, theirs ? Choice::Theirs : Choice::Ours,
            QStringLiteral("sidorov"), moment(8));
    QCOMPARE(conflicts(*m_theirs->database).size(), 0);
    QCOMPARE(m_theirs->current().draft.resources[0].rate.value_or(-1), rate);
    QCOMPARE(m_theirs->current().changes, changes);
    QCOMPARE(m_theirs->current().login, QStringLiteral("sidorov"));
    // The same file does not raise it again.
    QCOMPARE(m_theirs->import({file(QStringLiteral("firm.xml"))}).firm.unchanged, 1);
    QCOMPARE(conflicts(*m_theirs->database).size(), 0);
}

void FirmExchangeTest::aFailedResolutionLeavesEveryConflict()
{
    Draft other = sample(50);
    other.code = QStringLiteral("ФН-06-01-001-03");
    const auto withLabour = [](Draft draft, double labour) {
        draft.resources[0].rate = labour;
        return draft;
    };
    for (const Draft &draft : {sample(180), other})
        m_ours->store().save(0, draft, QStringLiteral("ivanov"), moment(3));
    QCOMPARE(m_ours->exportTo(file(QStringLiteral("firm.xml"))), QString());
    QCOMPARE(m_theirs->import({file(QStringLiteral("firm.xml"))}).reason, QString());
    for (const Draft &draft : {sample(180), other}) {
        m_theirs->store().save(m_theirs->store().find(draft.code)->id, withLabour(draft, 190),
                               QStringLiteral("sidorov"), moment(6));
        m_ours->store().save(m_ours->store().find(draft.code)->id, withLabour(draft, 210),
                             QStringLiteral("ivanov"), moment(7));
    }
    m_ours->exportTo(file(QStringLiteral("firm.xml")));
    m_theirs->import({file(QStringLiteral("firm.xml"))});
    const QList<Conflict> listed = conflicts(*m_theirs->database);
    QCOMPARE(listed.size(), 2);
    const QList<Version> before = m_theirs->history();

    // The second norm's conflict cannot be dropped, after the first was taken.
    m_theirs->database->connection().execute(
        QStringLiteral("CREATE TEMP TRIGGER refuse BEFORE DELETE ON firm_conflicts WHEN "
                       "OLD.firm_id = %1 BEGIN SELECT RAISE(ABORT, 'refused'); END")
            .arg(listed[1].id)
            .toUtf8()
            .constData());
    QVERIFY_THROWS_EXCEPTION(sql::Failure,
                             resolve(*m_theirs->database,
                                     {{listed[0].id, Choice::Theirs}, {listed[1].id, Choice::Ours}},
                                     QStringLiteral("sidorov"), moment(8)));
    QCOMPARE(conflicts(*m_theirs->database).size(), 2);
    QCOMPARE(m_theirs->history(), before);
}

void FirmExchangeTest::renamedInTheFileIsTheSameNorm()
{
    shareOneNorm();
    Draft renamed = sample(210);
    renamed.code = QStringLiteral("ФН-06-01-001-05");
    m_ours->store().save(m_ours->store().find(kCode)->id, renamed, QStringLiteral("ivanov"),
                         moment(7));
    QCOMPARE(m_ours->exportTo(file(QStringLiteral("firm.xml"))), QString());
    const ImportResult result = m_theirs->import({file(QStringLiteral("firm.xml"))});
    QCOMPARE(result.firm.updated, 1);
    QCOMPARE(m_theirs->store().all().size(), 1);
    QCOMPARE(m_theirs->current(renamed.code).draft, renamed);
    QCOMPARE(m_theirs->history(renamed.code).size(), 3);
}

// A file from a base that took «²» and «≤» brings them respelled, so that the journal keeps every
// character, and the import says so.
void FirmExchangeTest::signsTheJournalLacksAreRespelled()
{
    Draft signs = sample(180);
    signs.name = QStringLiteral("Стяжка ≤ 50 мм");
    signs.measure = QStringLiteral("100 м²");
    signs.resources[3].unit = QStringLiteral("м³");
    m_ours->store().save(0, signs, QStringLiteral("ivanov"), moment(3));
    QCOMPARE(m_ours->exportTo(file(QStringLiteral("firm.xml"))), QString());
    const ImportResult result = m_theirs->import({file(QStringLiteral("firm.xml"))});
    QCOMPARE(summaryText(result, m_theirs->path),
             QStringLiteral("Фирменные нормы из «firm.xml»: новых 1, обновлено 0, без изменений 0. "
                            "В нормах ФН-06-01-001-01 знаки «²», «³», «≤», «≥» заменены на «2», "
                            "«3», «<=», «>=»: журнал их не сохраняет."));
    const Draft taken = m_theirs->current().draft;
    QCOMPARE(taken.name, QStringLiteral("Стяжка <= 50 мм"));
    QCOMPARE(taken.measure, QStringLiteral("100 м2"));
    QCOMPARE(taken.resources[3].unit, QStringLiteral("м3"));
}

void FirmExchangeTest::neverTouchesTheFederalBase()
{
    const QString federal = file(QStringLiteral("ГЭСН.xml"));
    QFile out(federal);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(kFootingsBase);
    out.close();
    QCOMPARE(m_theirs->import({federal}).reason, QString());
    const QString before = federalRows(m_theirs->path);
    QVERIFY(before.contains(QStringLiteral("ГЭСН")));

    shareOneNorm();
    QCOMPARE(federalRows(m_theirs->path), before);
    const QList<Version> history = m_theirs->history();
    // A federal import, with a firm file among its files or alone, leaves the firm's norms.
    QCOMPARE(m_theirs->import({federal, file(QStringLiteral("firm.xml"))}).collections, 2);
    QCOMPARE(m_theirs->import({federal}).norms, 6);
    QCOMPARE(m_theirs->history().size(), history.size());
    const std::optional<Norm> norm =
        readNorm(*m_theirs->database, m_theirs->store().find(kCode)->normId);
    QVERIFY(norm);
    QCOMPARE(norm->code, kCode);
    QCOMPARE(norm->resources.size(), 5);
}

void FirmExchangeTest::brokenFileChangesNothing_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("reason");
    QTest::newRow("a broken tag")
        << "</History>"
        << "</Histor>"
        << "Файл «firm.xml» поврежден: строка 74, столбец 13: нарушена разметка XML.";
    QTest::newRow("a rate that is no number")
        << R"(Quantity="1.2")"
        << R"(Quantity="1,2")"
        << "Файл «firm.xml» поврежден: строка 14, столбец 102: у ресурса «Автомобили бортовые» "
           "нормы «ФН-06-01-001-01» неверная норма «1,2» или группа «».";
}

void FirmExchangeTest::brokenFileChangesNothing()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, reason);
    shareOneNorm();
    m_ours->store().save(m_ours->store().find(kCode)->id, sample(210), QStringLiteral("ivanov"),
                         moment(7));
    m_ours->exportTo(file(QStringLiteral("firm.xml")));
    QFile firm(file(QStringLiteral("firm.xml")));
    QVERIFY(firm.open(QIODevice::ReadWrite));
    const QByteArray broken = firm.readAll().replace(from.toUtf8(), to.toUtf8());
    firm.resize(0);
    firm.write(broken);
    firm.close();
    const QString before = baseRows(m_theirs->path);

    const ImportResult result = m_theirs->import({file(QStringLiteral("firm.xml"))});
    QCOMPARE(result.outcome, ImportResult::Outcome::Refused);
    QCOMPARE(result.reason, reason);
    QCOMPARE(baseRows(m_theirs->path), before);
    QCOMPARE(m_theirs->history().size(), 2);
}

QTEST_GUILESS_MAIN(FirmExchangeTest)
#include "tst_firmexchange.moc"
