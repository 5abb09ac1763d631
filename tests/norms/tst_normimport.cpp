// Importing files of the federal norm base: what lands in the database, what replaces what, and
// that a failed or cancelled import leaves the previous base exactly as it was.

#include "baserows.h"
#include "billtexts.h"
#include "cataloguelookup.h"
#include "earlierschema.h"
#include "normbill.h"
#include "normbrowse.h"
#include "normdb.h"
#include "normimport.h"
#include "normlookup.h"
#include "normsample.h"
#include "sqlite.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

using norms::ImportResult;

namespace {

QString wrapped(const QString &categoryBody, const QString &prefix = QStringLiteral("ГЭСНр"))
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<base BaseName=\"Нормы\" BaseType=\"ГЭСН\" PriceLevel=\"01.01.2022\">\n"
                          "<ResourcesDirectory>\n"
                          "<ResourceCategory Type=\"РЕМОНТНО-СТРОИТЕЛЬНЫЕ РАБОТЫ\" "
                          "CodePrefix=\"%1\">\n%2\n</ResourceCategory>\n"
                          "</ResourcesDirectory>\n</base>\n")
        .arg(prefix, categoryBody);
}

// A price catalogue as the ministry publishes it: no «base», an approving act, one category.
QString catalogue(const QString &type, const QString &sections)
{
    return QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<ResourceCatalog "
               "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
               "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\">\n <Decrees "
               "ApprovingActNumber=\"7/пр\" ApprovingActDate=\"02.03.2025\"/>\n "
               "<ResourcesDirectory>\n  <ResourceCategory Type=\"%1\">%2\n  </ResourceCategory>\n "
               "</ResourcesDirectory>\n</ResourceCatalog>\n")
        .arg(type, sections);
}

// What a real file's bytes are: a byte order mark and CR LF line ends.
QByteArray asPublished(const QString &text)
{
    QString crlf = text;
    crlf.replace(u'\n', QStringLiteral("\r\n"));
    return "\xEF\xBB\xBF" + crlf.toUtf8();
}

const QString kMaterials = QStringLiteral(R"(
   <Section Name="Материалы для общестроительных работ" Code="01" Type="Книга">
    <Section Name="Смеси" Code="04.1" Type="Раздел">
     <Section Name="Смеси бетонные" Code="04.1.02" Type="Группа">
      <Resource Code="04.1.02.05-0006" Name="Смесь бетонная тяжелого бетона, класс B15" MeasureUnit="м3">
       <Prices><Price Cost="5210.40" OptCost="4402.15"/></Prices>
      </Resource>
      <Resource Code="04.1.02.05-0007" Name="Смесь бетонная тяжёлого бетона, класс B20" MeasureUnit="м3">
       <Prices><Price Cost="5388" OptCost="4551.2"/></Prices>
      </Resource>
     </Section>
    </Section>
    <Resource Code="01.7.15.06-0111" Name="Гвозди строительные" MeasureUnit="т"><Prices><Price Cost="98000.5"/></Prices></Resource>
   </Section>)");

const QString kMachines = QStringLiteral(R"(
   <Section Name="Машины и механизмы" Code="91" Type="Книга">
    <Section Name="Краны" Code="91.05" Type="Раздел">
     <Resource Code="91.05.05-015" Name="Краны на автомобильном ходу, 16 т">
      <Prices><Price SalaryMach="400.25" LabourMach="1.00" PriceCostWithoutSalary="900.5" WithRelocation="true" DriverCode="4-100-050" MachinistCategory="5.0">
       <ExpendableMaterials><Material Electricity="0" ElectricityCost="0"/></ExpendableMaterials>
      </Price></Prices>
     </Resource>
     <Resource Code="91.06.06-042" Name="Подъемники до 0,5 т">
      <Prices><Price SalaryMach="0" LabourMach="0" PriceCostWithoutSalary="3.5" MachinistCategory=""/></Prices>
     </Resource>
    </Section>
   </Section>)");

// One table of earthworks, laid out as the published files are.
const QString kEarthworks = QStringLiteral(R"(
<Section Name="Земляные работы" Type="Сборник" Code="51">
 <Section Name="Разработка грунта" Type="Раздел" Code="1">
  <Section Name="Разработка грунта внутри здания" Type="Таблица" Code="51-01-001">
   <Content><Item Text="Разработка грунта с выкидкой."/><Item Text="Зачистка дна."/></Content>
   <NameGroup BeginName="Разработка и обратная засыпка грунта вручную внутри здания в:">
    <Work Code="51-01-001-01" EndName="котлованах глубиной до 3 м площадью до 10 м2" MeasureUnit="100 м3">
     <Content><Item Text="Разработка грунта вручную с зачисткой дна."/></Content>
     <Resources>
      <Resource Code="1-100-20" EndName="Средний разряд работы 2,0" Quantity="667"/>
      <Resource Code="2" Quantity="0.1"/>
      <Resource Code="91.14.02-001" EndName="Автомобили бортовые, грузоподъемность до 5 т" Quantity="0.1"/>
      <Resource Code="01.7.15.06-0111" EndName="Гвозди строительные" MeasureUnit="т" Quantity="П"/>
      <AbstractResource Code="01.2.03.03" Name="Мастики битумосодержащие" MeasureUnit="т" Quantity="0.712" TechnologyGroups="27.03.039"/>
     </Resources>
     <NrSp>
      <ReasonItem Nr="Пр/812-085.1" Sp="Пр/774-085.1"/>
      <ReasonItem Nr=" Пр/812-090.0 " Sp="Пр/774-090.0"/>
     </NrSp>
    </Work>
    <Work Code="51-01-001-02" EndName="траншеях" MeasureUnit="100 м3" Unknown="x">
     <Resources><Resource Code="1-100-22" EndName="Средний разряд работы 2,2" Quantity="12.5"/></Resources>
    </Work>
   </NameGroup>
   <Work Code="51-01-001-03" EndName="Засыпка пазух Ёмкостей" MeasureUnit="10 м3"/>
  </Section>
 </Section>
</Section>)");

struct Database
{
    explicit Database(const QString &path) : connection(path, true) {}
    QString value(const QString &query)
    {
        try {
            norms::sql::Statement statement(connection.handle(), query);
            return statement.next() ? statement.text(0) : QStringLiteral("(no row)");
        } catch (const norms::sql::Failure &failure) {
            return failure.message;
        }
    }
    norms::sql::Connection connection;
};

} // namespace

class NormImportTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void storesWhatTheFileSays_data();
    void storesWhatTheFileSays();
    void catalogueNamesLinesWithoutNames_data();
    void catalogueNamesLinesWithoutNames();
    void readsTheEncodingTheFileDeclares();
    void reimportReplacesOnlyItsPrefix();
    void failedImportLeavesPreviousBase_data();
    void failedImportLeavesPreviousBase();
    void refusalNamesFileAndPlace_data();
    void refusalNamesFileAndPlace();
    void progressIsToldInStepsOfTime();
    void keepsCataloguePrices_data();
    void keepsCataloguePrices();
    void catalogueAloneUpdatesPrices();
    void searchesTheCatalogue_data();
    void searchesTheCatalogue();
    void countsLabourAsTheCollectionsWriteIt_data();
    void countsLabourAsTheCollectionsWriteIt();
    void importsAnEditionsFolder();
    void refusesAFileGivenTwice_data();
    void refusesAFileGivenTwice();
    void migratesAnEarlierBase();
    void schema5BaseGainsReferencesOnReimport();
    void keepsTheReferencesOfEveryNorm();

private:
    QString write(const QString &name, const QString &text);
    QString write(const QString &name, const QByteArray &bytes);
    ImportResult import(const QStringList &files, const std::atomic<bool> *cancel = nullptr)
    {
        return norms::importFiles(m_database, files, {}, cancel);
    }

    std::unique_ptr<QTemporaryDir> m_folder;
    QString m_database;
};

void NormImportTest::init()
{
    m_folder = std::make_unique<QTemporaryDir>();
    m_database = m_folder->filePath(QStringLiteral("data/norms.db"));
}

QString NormImportTest::write(const QString &name, const QByteArray &bytes)
{
    const QString path = m_folder->filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write the sample file");
    return path;
}

QString NormImportTest::write(const QString &name, const QString &text)
{
    return write(name, text.toUtf8());
}

void NormImportTest::storesWhatTheFileSays_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("expected");
    QTest::newRow("full name is the group's beginning and the work's end")
        << "SELECT name FROM norms WHERE code = '51-01-001-01'"
        << "Разработка и обратная засыпка грунта вручную внутри здания в: котлованах глубиной "
           "до 3 м площадью до 10 м2";
    QTest::newRow("a work outside a name group keeps its end alone")
        << "SELECT name FROM norms WHERE code = '51-01-001-03'"
        << "Засыпка пазух Ёмкостей";
    QTest::newRow("measure") << "SELECT group_concat(measure, ';') FROM norms"
                             << "100 м3;100 м3;10 м3";
    QTest::newRow("quantity with a decimal point")
        << "SELECT quantity FROM resources WHERE code = '1-100-22'"
        << "12.5";
    QTest::newRow("«П» is stored as no quantity")
        << "SELECT quantity IS NULL FROM resources WHERE code = '01.7.15.06-0111'"
        << "1";
    QTest::newRow("abstract resource with its technology group")
        << "SELECT abstract || '|' || name || '|' || unit || '|' || technology_groups || '|' || "
           "quantity FROM resources WHERE code = '01.2.03.03'"
        << "1|Мастики битумосодержащие|т|27.03.039|0.712";
    QTest::newRow("labour and machines carry no unit, in the file's order")
        << "SELECT group_concat(code || '=' || unit || '=' || name, ';') FROM (SELECT * FROM "
           "resources WHERE norm_id = (SELECT id FROM norms WHERE code = '51-01-001-01') AND "
           "position < 3 ORDER BY position)"
        << "1-100-20==Средний разряд работы 2,0;2==;91.14.02-001==Автомобили бортовые, "
           "грузоподъемность до 5 т";
    QTest::newRow("unknown elements and their children are skipped")
        << "SELECT count(*) FROM resources"
        << "6";
    QTest::newRow("every reference of a norm, in order")
        << "SELECT group_concat(nr || '|' || sp, ';') FROM (SELECT * FROM norm_reasons WHERE "
           "norm_id = (SELECT id FROM norms WHERE code = '51-01-001-01') ORDER BY position)"
        << "Пр/812-085.1|Пр/774-085.1;Пр/812-090.0|Пр/774-090.0";
    QTest::newRow("none for a norm without NrSp") << "SELECT count(*) FROM norm_reasons"
                                                  << "2";
    QTest::newRow("own content, one item per line")
        << "SELECT content FROM norms WHERE code = '51-01-001-01'"
        << "Разработка грунта вручную с зачисткой дна.";
    QTest::newRow("the table's content for a norm without its own")
        << "SELECT content FROM norms WHERE code = '51-01-001-02'"
        << "Разработка грунта с выкидкой.\nЗачистка дна.";
    QTest::newRow("sections nest as a tree")
        << "WITH RECURSIVE up(id, parent_id, label) AS (SELECT s.id, s.parent_id, s.type || ' ' || "
           "s.code FROM sections s JOIN norms n ON n.section_id = s.id WHERE n.code = "
           "'51-01-001-02' UNION ALL SELECT s.id, s.parent_id, s.type || ' ' || s.code FROM "
           "sections s JOIN up ON s.id = up.parent_id) SELECT group_concat(label, ' < ') FROM up"
        << "Таблица 51-01-001 < Раздел 1 < Сборник 51";
    QTest::newRow("collection keyed by kind and prefix")
        << "SELECT kind || '|' || prefix || '|' || type || '|' || price_level || '|' || "
           "source_file FROM collections"
        << "federal|ГЭСНр|РЕМОНТНО-СТРОИТЕЛЬНЫЕ РАБОТЫ|01.01.2022|ГЭСНр.xml";
}

void NormImportTest::storesWhatTheFileSays()
{
    QFETCH(QString, query);
    QFETCH(QString, expected);
    const ImportResult result = import({write(QStringLiteral("ГЭСНр.xml"), wrapped(kEarthworks))});
    QCOMPARE(result.reason, QString());
    QCOMPARE(result.outcome, ImportResult::Outcome::Imported);
    QCOMPARE(result.norms, 3);
    QCOMPARE(result.resources, 6);
    QCOMPARE(Database(m_database).value(query), expected);
}

void NormImportTest::catalogueNamesLinesWithoutNames_data()
{
    QTest::addColumn<bool>("catalogueFirst");
    QTest::addColumn<bool>("separateImports");
    QTest::newRow("catalogue before the norms") << true << false;
    QTest::newRow("catalogue after the norms") << false << false;
    QTest::newRow("catalogue in an earlier import") << true << true;
    QTest::newRow("catalogue in a later import") << false << true;
}

void NormImportTest::catalogueNamesLinesWithoutNames()
{
    QFETCH(bool, catalogueFirst);
    QFETCH(bool, separateImports);
    const QString normsFile = write(QStringLiteral("ГЭСН.xml"), wrapped(QStringLiteral(R"(
<Section Type="Таблица" Code="06-01-001" Name="Бетонная подготовка">
 <Work Code="06-01-001-01" EndName="Устройство бетонной подготовки" MeasureUnit="100 м3">
  <Resources>
   <Resource Code="01.7.03.01-0001" Quantity="0.5"/>
   <Resource Code="04.1.02.05-0006" EndName="Бетон тяжелый В15" MeasureUnit="м3" Quantity="102"/>
  </Resources>
 </Work>
</Section>)"),
                                                                        QStringLiteral("ГЭСН")));
    const QString catalogueFile = write(QStringLiteral("ФСБЦ_Мат&Оборуд.xml"),
                                        catalogue(QStringLiteral("Материал"), QStringLiteral(R"(
<Section Type="Книга" Code="01" Name="Материалы">
 <Section Type="Раздел" Code="01.7" Name="Прочие">
  <Resource Code="01.7.03.01-0001" Name="Вода" MeasureUnit="м3"><Prices><Price Cost="7.07" OptCost="5.1"/></Prices></Resource>
  <Resource Code="04.1.02.05-0006" Name="Смеси бетонные тяжелого бетона" MeasureUnit="м3"/>
 </Section>
</Section>)")));
    if (separateImports) {
        for (const QString &file : catalogueFirst ? QStringList{catalogueFile, normsFile}
                                                  : QStringList{normsFile, catalogueFile})
            QCOMPARE(import({file}).outcome, ImportResult::Outcome::Imported);
    } else {
        const ImportResult result = import(catalogueFirst ? QStringList{catalogueFile, normsFile}
                                                          : QStringList{normsFile, catalogueFile});
        QCOMPARE(result.outcome, ImportResult::Outcome::Imported);
        QCOMPARE(result.collections, 2);
    }
    Database database(m_database);
    QCOMPARE(database.value(QStringLiteral("SELECT group_concat(name || '|' || unit, ';') FROM "
                                           "(SELECT * FROM resources ORDER BY position)")),
             QStringLiteral("Вода|м3;Бетон тяжелый В15|м3"));
}

void NormImportTest::readsTheEncodingTheFileDeclares()
{
    QString text = wrapped(kEarthworks);
    text.replace(QStringLiteral("encoding=\"UTF-8\""), QStringLiteral("encoding=\"windows-1251\""));
    QStringEncoder windows1251("windows-1251");
    if (!windows1251.isValid())
        QSKIP("this Qt has no windows-1251 converter; such a file is refused naming it");
    const QByteArray bytes = windows1251.encode(text);
    QVERIFY(!windows1251.hasError());
    QCOMPARE(import({write(QStringLiteral("ГЭСНр.xml"), bytes)}).norms, 3);
    QCOMPARE(Database(m_database)
                 .value(QStringLiteral("SELECT name FROM norms WHERE code = "
                                       "'51-01-001-03'")),
             QStringLiteral("Засыпка пазух Ёмкостей"));
}

void NormImportTest::reimportReplacesOnlyItsPrefix()
{
    const auto table = [](const QString &code) {
        return QStringLiteral("<Section Type=\"Таблица\" Code=\"t\" Name=\"t\"><Work Code=\"%1\" "
                              "EndName=\"Норма %1\"><Resources><Resource Code=\"2\" "
                              "Quantity=\"1\"/></Resources></Work></Section>")
            .arg(code);
    };
    QCOMPARE(import({write(QStringLiteral("a.xml"),
                           wrapped(table(QStringLiteral("A-1")) + table(QStringLiteral("A-2")),
                                   QStringLiteral("ГЭСН"))),
                     write(QStringLiteral("b.xml"),
                           wrapped(table(QStringLiteral("B-1")), QStringLiteral("ГЭСНр")))})
                 .norms,
             3);
    const ImportResult again = import({write(
        QStringLiteral("a2.xml"), wrapped(table(QStringLiteral("A-3")), QStringLiteral("ГЭСН")))});
    QCOMPARE(again.outcome, ImportResult::Outcome::Imported);
    Database database(m_database);
    QCOMPARE(database.value(QStringLiteral("SELECT group_concat(code, ';') FROM (SELECT code FROM "
                                           "norms ORDER BY code)")),
             QStringLiteral("A-3;B-1"));
    QCOMPARE(database.value(QStringLiteral("SELECT group_concat(prefix || '=' || source_file, ';') "
                                           "FROM (SELECT * FROM collections ORDER BY prefix)")),
             QStringLiteral("ГЭСН=a2.xml;ГЭСНр=b.xml"));
    // Nothing of the replaced collection is left behind.
    QCOMPARE(database.value(QStringLiteral(
                 "SELECT (SELECT count(*) FROM resources) || '/' || (SELECT count(*) FROM "
                 "sections) || '/' || (SELECT count(*) FROM norm_words) || '/' || (SELECT "
                 "count(*) FROM norm_words JOIN norms ON norms.place = norm_words.rowid)")),
             QStringLiteral("2/2/2/2"));
}

void NormImportTest::failedImportLeavesPreviousBase_data()
{
    QTest::addColumn<QByteArray>("secondFile");
    QTest::addColumn<bool>("cancelled");
    QTest::addColumn<QString>("reasonStart");
    QTest::newRow("second file malformed")
        << wrapped(QStringLiteral("<Section><Work Code=\"x\"></Section>")).toUtf8() << false
        << "Файл «second.xml» поврежден: строка 5,";
    QTest::newRow("second file of another kind")
        << QByteArray("<?xml version=\"1.0\"?><html><body/></html>") << false
        << "Файл «second.xml» не является файлом базы норм";
    QTest::newRow("second file missing") << QByteArray() << false << "Не удалось открыть файл";
    QTest::newRow("cancelled") << wrapped(kEarthworks).toUtf8() << true << "";
}

void NormImportTest::failedImportLeavesPreviousBase()
{
    QFETCH(QByteArray, secondFile);
    QFETCH(bool, cancelled);
    QFETCH(QString, reasonStart);
    normsample::BaseShape shape;
    shape.norms = 20;
    const QString first = write(QStringLiteral("first.xml"), normsample::base(shape));
    QCOMPARE(import({first, write(QStringLiteral("other.xml"), wrapped(kEarthworks))}).norms, 23);
    const QString before = baseRows(m_database);
    shape.norms = 30;
    const QString changedFirst = write(QStringLiteral("first.xml"), normsample::base(shape));
    const QString second = secondFile.isEmpty() ? m_folder->filePath(QStringLiteral("none.xml"))
                                                : write(QStringLiteral("second.xml"), secondFile);
    const std::atomic<bool> cancel{cancelled};
    const ImportResult result = import({changedFirst, second}, &cancel);
    QCOMPARE(result.outcome,
             cancelled ? ImportResult::Outcome::Cancelled : ImportResult::Outcome::Refused);
    QVERIFY2(reasonStart.isEmpty() ? result.reason.isEmpty()
                                   : result.reason.startsWith(reasonStart),
             qPrintable(result.reason));
    QCOMPARE(baseRows(m_database), before);
}

void NormImportTest::refusalNamesFileAndPlace_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");
    QTest::newRow("mismatched end tag")
        << QByteArray("<?xml version=\"1.0\"?>\n<base>\n <ResourcesDirectory>\n  <Work>\n  "
                      "</Wrok>\n</base>\n")
        << "Файл «ГЭСН.xml» поврежден: строка 5, столбец 9: нарушена разметка XML.";
    QTest::newRow("cut off")
        << QByteArray("<?xml version=\"1.0\"?>\n<base>\n<ResourcesDirectory>\n<ResourceCategory>\n"
                      "<Section Code=\"1\">\n<Work Code=\"1-1\" EndName=\"Кладка\"/>\n")
        << "Файл «ГЭСН.xml» поврежден: строка 7, столбец 1: файл обрывается, не дойдя до конца "
           "разметки.";
    QTest::newRow("another root")
        << QByteArray("<?xml version=\"1.0\"?>\n<bill><Work Code=\"1\"/></bill>\n")
        << "Файл «ГЭСН.xml» не является файлом базы норм: его корневой элемент «bill», а не "
           "«base».";
    QTest::newRow("no norms and no catalogue")
        << QByteArray("<base><ResourcesDirectory><ResourceCategory CodePrefix=\"ГЭСН\">"
                      "<Section Code=\"1\"/></ResourceCategory></ResourcesDirectory></base>")
        << "Файл «ГЭСН.xml» не является файлом базы норм: в нем нет ни одной нормы и ни одного "
           "ресурса.";
    QTest::newRow("no XML at all") << QByteArray("%PDF-1.4\n\x01\x02\x03")
                                   << "Файл «ГЭСН.xml» не является файлом базы норм: в нем нет "
                                      "разметки XML.";
    QTest::newRow("an encoding no build knows, after a byte order mark")
        << QByteArray("\xEF\xBB\xBF<?xml version=\"1.0\" encoding='x-unknown-8'?>\n<base/>")
        << "Файл «ГЭСН.xml» записан в кодировке «x-unknown-8», которую эта сборка программы не "
           "читает. Сохраните его в кодировке UTF-8.";
    QTest::newRow("empty") << QByteArray()
                           << "Файл «ГЭСН.xml» не является файлом базы норм: в нем нет разметки "
                              "XML.";
}

void NormImportTest::refusalNamesFileAndPlace()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    const ImportResult result = import({write(QStringLiteral("ГЭСН.xml"), bytes)});
    QCOMPARE(result.outcome, ImportResult::Outcome::Refused);
    QCOMPARE(result.reason, reason);
}

void NormImportTest::progressIsToldInStepsOfTime()
{
    normsample::BaseShape shape;
    shape.norms = 12000;
    const QString file = write(QStringLiteral("big.xml"), normsample::base(shape));
    const qint64 size = QFile(file).size();
    std::vector<norms::ImportStatus> told;
    std::vector<qint64> at;
    QElapsedTimer clock;
    clock.start();
    const ImportResult result =
        norms::importFiles(m_database, {file}, [&](const norms::ImportStatus &status) {
            told.push_back(status);
            at.push_back(clock.elapsed());
        });
    QCOMPARE(result.norms, 12000);
    QVERIFY2(told.size() >= 3, "the import is too quick to tell its progress");
    // The whole way is told once, last, when the import has committed.
    QVERIFY(told.back().finished);
    QCOMPARE(told.back().bytesRead, size);
    QCOMPARE(told.back().norms, 12000);
    told.pop_back();
    at.pop_back();
    for (std::size_t i = 0; i < told.size(); ++i) {
        QVERIFY(!told[i].finished);
        QCOMPARE(told[i].bytesTotal, size);
        QCOMPARE(told[i].fileName, QStringLiteral("big.xml"));
        QVERIFY(told[i].bytesRead <= size);
        if (i == 0)
            continue;
        // The import and this test read two clocks, each to the millisecond, and a report
        // reaches the test a little after the import's clock said it was due: a few
        // milliseconds either way are the clocks, not reports told too often.
        QVERIFY2(at[i] - at[i - 1] >= norms::kImportProgressIntervalMs - 5,
                 qPrintable(QString::number(at[i] - at[i - 1])));
        // The reader may wait for the writer between two reports, so bytes never go back
        // but need not move; the writer counts on.
        QVERIFY(told[i].bytesRead >= told[i - 1].bytesRead);
        QVERIFY(told[i].norms > told[i - 1].norms);
    }
}

void NormImportTest::keepsCataloguePrices_data()
{
    QTest::addColumn<QString>("code");
    // name|unit|kind|cost|release|wage|hours|level|machinist's code|grade
    QTest::addColumn<QString>("expected");
    QTest::newRow("a material's estimate and release prices")
        << "04.1.02.05-0006"
        << "Смесь бетонная тяжелого бетона, класс B15|м3|material|5210.4|4402.15|-|-|01.01.2022||";
    QTest::newRow("a material without a release price")
        << "01.7.15.06-0111"
        << "Гвозди строительные|т|material|98000.5|-|-|-|01.01.2022||";
    QTest::newRow("a machine-hour, the machinist's wage in it")
        << "91.05.05-015"
        << "Краны на автомобильном ходу, 16 т|маш.-ч|machine|1300.75|-|400.25|1|01.01.2022|"
           "4-100-050|5.0";
    QTest::newRow("a machine without a crew")
        << "91.06.06-042"
        << "Подъемники до 0,5 т|маш.-ч|machine|3.5|-|0|0|01.01.2022||";
    QTest::newRow("a code no catalogue lists") << "04.1.02.05"
                                               << "none";
}

void NormImportTest::keepsCataloguePrices()
{
    QFETCH(QString, code);
    QFETCH(QString, expected);
    // Both catalogues with a norm file in one import; the machines' file as published, with a
    // byte order mark and CR LF.
    const ImportResult result =
        import({write(QStringLiteral("ГЭСНр.xml"), wrapped(kEarthworks)),
                write(QStringLiteral("ФСБЦ_Мат&Оборуд.xml"),
                      catalogue(QStringLiteral("Материал"), kMaterials)),
                write(QStringLiteral("ФСБЦ_Маш.xml"),
                      asPublished(catalogue(QStringLiteral("МашиныМеханизмы"), kMachines)))});
    QCOMPARE(result.reason, QString());
    QCOMPARE(result.catalogueEntries, 5);
    QCOMPARE(result.norms, 3);
    auto opened = norms::NormDatabase::open(m_database);
    const auto found = norms::catalogueResource(*opened.database, code);
    const auto number = [](const std::optional<double> &value) {
        return value ? QString::number(*value) : QStringLiteral("-");
    };
    QStringList fields;
    if (found)
        fields = {found->name,
                  found->unit,
                  found->machine ? QStringLiteral("machine") : QStringLiteral("material"),
                  number(found->cost),
                  number(found->releaseCost),
                  number(found->machinistWage),
                  number(found->machinistHours),
                  found->priceLevel,
                  found->driverCode,
                  found->machinistGrade};
    QCOMPARE(found ? fields.join(u'|') : QStringLiteral("none"), expected);
}

void NormImportTest::catalogueAloneUpdatesPrices()
{
    QCOMPARE(import({write(QStringLiteral("ГЭСН.xml"), wrapped(QStringLiteral(R"(
<Section Type="Таблица" Code="06-01-001" Name="Подготовка">
 <Work Code="06-01-001-01" EndName="Бетонная подготовка" MeasureUnit="100 м3">
  <Resources><Resource Code="04.1.02.05-0007" Quantity="102"/></Resources>
 </Work>
</Section>)"),
                                                               QStringLiteral("ГЭСН"))),
                     write(QStringLiteral("old.xml"),
                           catalogue(QStringLiteral("Материал"), kMaterials))})
                 .outcome,
             ImportResult::Outcome::Imported);
    QString newer = catalogue(QStringLiteral("Материал"), kMaterials);
    newer.replace(QStringLiteral("Cost=\"5388\""), QStringLiteral("Cost=\"6000.1\""));
    newer.replace(QStringLiteral("7/пр"), QStringLiteral("490/пр"));
    const ImportResult alone = import({write(QStringLiteral("ФСБЦ_Мат&Оборуд.xml"), newer)});
    QCOMPARE(alone.outcome, ImportResult::Outcome::Imported);
    QCOMPARE(alone.catalogueEntries, 3);
    auto opened = norms::NormDatabase::open(m_database);
    norms::NormDatabase &database = *opened.database;
    QCOMPARE(norms::catalogueResource(database, QStringLiteral("04.1.02.05-0007"))->cost, 6000.1);
    QCOMPARE(norms::searchCatalogue(database, QStringLiteral("04")).size(), 2);
    const QList<norms::CatalogueEdition> editions = norms::catalogueEditions(database);
    QCOMPARE(editions.size(), 1);
    QCOMPARE(QStringList({editions[0].type, QString::number(editions[0].resources),
                          editions[0].priceLevel, editions[0].actNumber, editions[0].actDate}),
             QStringList({"Материал", "3", "01.01.2022", "490/пр", "02.03.2025"}));
    // The norms stay, and their line listed by code alone is named by the catalogue.
    QCOMPARE(Database(m_database)
                 .value(QStringLiteral("SELECT count(*) || '|' || max(r.name) FROM "
                                       "norms n JOIN resources r ON r.norm_id = "
                                       "n.id")),
             QStringLiteral("1|Смесь бетонная тяжёлого бетона, класс B20"));
}

void NormImportTest::searchesTheCatalogue_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("codes");
    QTest::newRow("beginnings of words")
        << "смес бетон" << 200 << "04.1.02.05-0006;04.1.02.05-0007";
    QTest::newRow("«е» finds «ё», in any case") << "ТЯЖЕЛ b20" << 200 << "04.1.02.05-0007";
    QTest::newRow("«ё» finds «е»") << "тяжёлого" << 200 << "04.1.02.05-0006;04.1.02.05-0007";
    QTest::newRow("a code's beginning") << "04.1.02" << 200 << "04.1.02.05-0006;04.1.02.05-0007";
    QTest::newRow("machines by code") << "91" << 200 << "91.05.05-015;91.06.06-042";
    QTest::newRow("a number no code begins with is a word") << "16" << 200 << "91.05.05-015";
    QTest::newRow("by code, up to the limit") << "бетон" << 1 << "04.1.02.05-0006";
    QTest::newRow("a word is no middle of one") << "етон" << 200 << "";
    QTest::newRow("nothing typed") << "  " << 200 << "";
}

void NormImportTest::searchesTheCatalogue()
{
    QFETCH(QString, query);
    QFETCH(int, limit);
    QFETCH(QString, codes);
    QCOMPARE(
        import({write(QStringLiteral("m.xml"), catalogue(QStringLiteral("Материал"), kMaterials)),
                write(QStringLiteral("k.xml"),
                      catalogue(QStringLiteral("МашиныМеханизмы"), kMachines))})
            .outcome,
        ImportResult::Outcome::Imported);
    auto opened = norms::NormDatabase::open(m_database);
    QStringList found;
    for (const norms::CatalogueResource &resource :
         norms::searchCatalogue(*opened.database, query, limit))
        found.append(resource.code);
    QCOMPARE(found.join(u';'), codes);
}

void NormImportTest::countsLabourAsTheCollectionsWriteIt_data()
{
    QTest::addColumn<QString>("norm");
    QTest::addColumn<QString>("volume");
    QTest::addColumn<QStringList>("journal"); // from the materials' caption on
    QTest::addColumn<QStringList>("bill");
    QTest::newRow("a total with its lines by grade")
        << "ГЭСНп 01-01-001-01"
        << "2" << QStringList{"Необходимые материалы:", "Провод, м: 2", "Затраты труда, чел.-ч: 24"}
        << QStringList{"1 Затраты труда (всего) 24 чел.-ч (труд)", "01.2.01.01-0001 Провод 2 м"};
    QTest::newRow("a total alone, machinists apart")
        << "ГЭСНп 01-01-001-02"
        << "1"
        << QStringList{"Необходимые материалы:", "Затраты труда, чел.-ч: 7",
                       "Затраты труда машинистов, чел.-ч: 0,5"}
        << QStringList{"2 Затраты труда машинистов 0,5 чел.-ч (труд)",
                       "1 Затраты труда (всего) 7 чел.-ч (труд)"};
    QTest::newRow("workers by grade and machinists")
        << "ГЭСН 06-01-001-01"
        << "100"
        << QStringList{"Необходимые материалы:", "Затраты труда, чел.-ч: 200",
                       "Затраты труда машинистов, чел.-ч: 0,5", "Машины, маш.-ч: 1,2"}
        << QStringList{"1-100-30 Средний разряд работы 3,0 180 чел.-ч (труд)",
                       "1-100-40 Средний разряд работы 4,0 20 чел.-ч (труд)",
                       "2 Затраты труда машинистов 0,5 чел.-ч (труд)",
                       "91.14.02-001 Автомобили бортовые 1,2 маш.-ч (машины)"};
}

void NormImportTest::countsLabourAsTheCollectionsWriteIt()
{
    QFETCH(QString, norm);
    QFETCH(QString, volume);
    QFETCH(QStringList, journal);
    QFETCH(QStringList, bill);
    const QString commissioning = wrapped(QStringLiteral(R"(
<Section Type="Таблица" Code="01-01-001" Name="Выключатели">
 <Work Code="01-01-001-01" EndName="Выключатель" MeasureUnit="1 шт">
  <Resources>
   <Resource Code="1" Quantity="12"/>
   <Resource Code="2-100-04" EndName="Рабочий 4 разряда" MeasureUnit="чел.-ч" Quantity="3"/>
   <Resource Code="3-200-02" EndName="Инженер II категории" MeasureUnit="чел.-ч" Quantity="9"/>
   <Resource Code="01.2.01.01-0001" EndName="Провод" MeasureUnit="м" Quantity="1"/>
  </Resources>
 </Work>
 <Work Code="01-01-001-02" EndName="Выключатель двойной" MeasureUnit="1 шт">
  <Resources><Resource Code="2" Quantity="0.5"/><Resource Code="1" Quantity="7"/></Resources>
 </Work>
</Section>)"),
                                          QStringLiteral("ГЭСНп"));
    const QString building = wrapped(QStringLiteral(R"(
<Section Type="Таблица" Code="06-01-001" Name="Фундаменты">
 <Work Code="06-01-001-01" EndName="Фундаменты" MeasureUnit="100 м3">
  <Resources>
   <Resource Code="1-100-30" EndName="Средний разряд работы 3,0" Quantity="180"/>
   <Resource Code="1-100-40" EndName="Средний разряд работы 4,0" Quantity="20"/>
   <Resource Code="2" Quantity="0.5"/>
   <Resource Code="91.14.02-001" EndName="Автомобили бортовые" Quantity="1.2"/>
  </Resources>
 </Work>
</Section>)"),
                                     QStringLiteral("ГЭСН"));
    QCOMPARE(import({write(QStringLiteral("ГЭСНп.xml"), asPublished(commissioning)),
                     write(QStringLiteral("ГЭСН.xml"), building)})
                 .norms,
             3);
    auto opened = norms::NormDatabase::open(m_database);
    const std::optional<qint64> id = norms::findNorm(*opened.database, norm);
    QVERIFY(id);
    const norms::NormComputation computation =
        norms::computeNorm(*norms::readNorm(*opened.database, *id), volume);
    QCOMPARE(norms::journalBlock(computation).mid(2), journal);
    QStringList entered;
    for (const bom::Material &material : norms::billEntry(computation, {}).materials)
        entered.append(billtexts::materialText(material));
    QCOMPARE(entered, bill);
}

void NormImportTest::importsAnEditionsFolder()
{
    QDir(m_folder->path()).mkpath(QStringLiteral("ФСНБ-2022/Цены"));
    write(QStringLiteral("ФСНБ-2022/ГЭСНр.xml"), asPublished(wrapped(kEarthworks)));
    write(QStringLiteral("ФСНБ-2022/Цены/ФСБЦ_Маш.xml"),
          asPublished(catalogue(QStringLiteral("МашиныМеханизмы"), kMachines)));
    write(QStringLiteral("ФСНБ-2022/База ТГ.xml"),
          asPublished(QStringLiteral("<?xml version=\"1.0\" standalone=\"yes\"?>\n<NewDataSet>\n"
                                     "<Table><Code>27.03.039</Code></Table>\n</NewDataSet>\n")));
    write(QStringLiteral("ФСНБ-2022/КСР.csv"), QByteArray("Код ОКПД2,Код КСР\r\n"));
    const ImportResult result = import({m_folder->filePath(QStringLiteral("ФСНБ-2022"))});
    QCOMPARE(result.reason, QString());
    QCOMPARE(result.norms, 3);
    QCOMPARE(result.catalogueEntries, 2);
    QCOMPARE(norms::summaryText(result, QStringLiteral("data/norms.db")),
             QStringLiteral("Загружено в «data/norms.db»: категорий 2, норм 3, строк ресурсов 6, "
                            "позиций каталога 2. Оставлены без загрузки: «База ТГ.xml» (его "
                            "корневой элемент «NewDataSet», а не «base»)."));
    // Named by itself, it is refused as before.
    QCOMPARE(import({m_folder->filePath(QStringLiteral("ФСНБ-2022/База ТГ.xml"))}).reason,
             QStringLiteral("Файл «База ТГ.xml» не является файлом базы норм: его корневой "
                            "элемент «NewDataSet», а не «base»."));
}

void NormImportTest::refusesAFileGivenTwice_data()
{
    QTest::addColumn<QStringList>("given");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::newRow("one name in two editions' folders")
        << QStringList{"2022/ГЭСНр.xml", "2025/ГЭСНр.xml"} << "2022/ГЭСНр.xml"
        << "2025/ГЭСНр.xml";
    QTest::newRow("two editions' folders") << QStringList{"2022", "2025"} << "2022/ГЭСНр.xml"
                                           << "2025/ГЭСНр.xml";
    QTest::newRow("one content under two names")
        << QStringList{"2022/ГЭСНр.xml", "2022/ГЭСНр (копия).xml"} << "2022/ГЭСНр.xml"
        << "2022/ГЭСНр (копия).xml";
}

void NormImportTest::refusesAFileGivenTwice()
{
    QFETCH(QStringList, given);
    QFETCH(QString, first);
    QFETCH(QString, second);
    QDir(m_folder->path()).mkpath(QStringLiteral("2022"));
    QDir(m_folder->path()).mkpath(QStringLiteral("2025"));
    write(QStringLiteral("2022/ГЭСНр.xml"), wrapped(kEarthworks));
    write(QStringLiteral("2025/ГЭСНр.xml"), asPublished(wrapped(kEarthworks)));
    if (given.contains(QStringLiteral("2022/ГЭСНр (копия).xml")))
        write(QStringLiteral("2022/ГЭСНр (копия).xml"), wrapped(kEarthworks));
    QStringList paths;
    for (const QString &name : given)
        paths.append(m_folder->filePath(name));
    const ImportResult result = import(paths);
    QCOMPARE(result.outcome, ImportResult::Outcome::Refused);
    QCOMPARE(result.reason,
             QStringLiteral("Один файл указан дважды: «%1» и «%2». Загрузите только один из них.")
                 .arg(QDir::toNativeSeparators(m_folder->filePath(first)),
                      QDir::toNativeSeparators(m_folder->filePath(second))));
    QVERIFY(!QFile::exists(m_database));
}

void NormImportTest::migratesAnEarlierBase()
{
    QCOMPARE(
        import({write(QStringLiteral("ГЭСНр.xml"), wrapped(kEarthworks)),
                write(QStringLiteral("m.xml"), catalogue(QStringLiteral("Материал"), kMaterials))})
            .outcome,
        ImportResult::Outcome::Imported);
    {
        // The base as the previous version of the program left it.
        norms::sql::Connection earlier(m_database);
        // Without the search's ranks and resource index, which came after the prices.
        earlier.execute(kUndoCodeIndex);
        earlier.execute(kUndoPriceLists);
        earlier.execute(kUndoReferences);
        earlier.execute(kUndoSearchRanks);
        earlier.execute(kUndoPrices);
        earlier.execute("PRAGMA user_version = 2");
    }
    auto opened = norms::NormDatabase::open(m_database);
    QVERIFY2(opened.database, qPrintable(opened.refusal));
    QVERIFY(opened.database->hasNorms());
    // Its catalogue is found by the words of its names, without prices until imported again.
    const QList<norms::CatalogueResource> found =
        norms::searchCatalogue(*opened.database, QStringLiteral("тяжёл"));
    QCOMPARE(found.size(), 2);
    QCOMPARE(found[0].cost, std::nullopt);
    opened.database.reset();
    QCOMPARE(
        import({write(QStringLiteral("m.xml"), catalogue(QStringLiteral("Материал"), kMaterials))})
            .outcome,
        ImportResult::Outcome::Imported);
    opened = norms::NormDatabase::open(m_database);
    QCOMPARE(norms::searchCatalogue(*opened.database, QStringLiteral("тяжёл"))[0].cost, 5210.4);
}

void NormImportTest::schema5BaseGainsReferencesOnReimport()
{
    const QString normsFile = write(QStringLiteral("ГЭСНр.xml"), wrapped(kEarthworks));
    const QString machines = write(QStringLiteral("ФСБЦ_Маш.xml"),
                                   catalogue(QStringLiteral("МашиныМеханизмы"), kMachines));
    QCOMPARE(import({normsFile, machines}).outcome, ImportResult::Outcome::Imported);
    {
        norms::sql::Connection earlier(m_database);
        earlier.execute(kUndoCodeIndex);
        earlier.execute(kUndoPriceLists);
        earlier.execute(kUndoReferences);
        earlier.execute("PRAGMA user_version = 5");
    }
    const auto shown = [this] {
        auto opened = norms::NormDatabase::open(m_database);
        const auto id = norms::findNorm(*opened.database, QStringLiteral("ГЭСНр 51-01-001-01"));
        const auto crane =
            norms::catalogueResource(*opened.database, QStringLiteral("91.05.05-015"));
        return QStringList{QString::number(norms::readNorm(*opened.database, *id)->reasons.size()),
                           crane ? norms::machinistText(*crane) : QStringLiteral("none")};
    };
    // Migrated, it works as before, without what the import skipped then.
    QCOMPARE(shown(), QStringList({"0", ""}));
    QCOMPARE(import({normsFile, machines}).outcome, ImportResult::Outcome::Imported);
    QCOMPARE(shown(), QStringList({"2", "Машинист 4-100-050, разряд 5,0, 1 чел.-ч на маш.-ч"}));
}

void NormImportTest::keepsTheReferencesOfEveryNorm()
{
    // The sample as published: every norm one reference, every fifth a second one.
    normsample::BaseShape shape;
    shape.norms = 40;
    QCOMPARE(import({write(QStringLiteral("ГЭСН.xml"), normsample::base(shape))}).norms, 40);
    Database database(m_database);
    QCOMPARE(database.value(QStringLiteral("SELECT count(*) FROM norm_reasons")),
             QStringLiteral("48"));
    // Norm 35 of the sample: items 036.0 and 037.0, in the file's order.
    QCOMPARE(database.value(QStringLiteral("SELECT group_concat(nr || ' ' || sp, ';') FROM "
                                           "(SELECT r.* FROM norm_reasons r JOIN norms n ON n.id "
                                           "= r.norm_id WHERE n.code = '%1' ORDER BY r.position)")
                                .arg(normsample::normCode(35))),
             QStringLiteral("Пр/812-036.0 Пр/774-036.0;Пр/812-037.0 Пр/774-037.0"));
}

QTEST_GUILESS_MAIN(NormImportTest)
#include "tst_normimport.moc"
