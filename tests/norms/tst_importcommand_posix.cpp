// `merilon --import-norms` run as the user runs it: its exit codes and lines, and a process
// killed half way through a large import, after which the previous base is still there whole.

#include "normdb.h"
#include "normimport.h"
#include "normsample.h"
#include "splitform.h"
#include "sqlite.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write the sample file");
}

// Without a display: a window opened by mistake would end the program with an error.
void startWithoutDisplay(QProcess &program, const QString &folder, const QStringList &arguments,
                         const QString &executable = QStringLiteral(MERILON_PROGRAM))
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(folder);
    program.start(executable, arguments);
}

} // namespace

class ImportCommandTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void answersOnTheTerminal_data();
    void answersOnTheTerminal();
    void interruptedImportLeavesPreviousBase_data();
    void interruptedImportLeavesPreviousBase();
    void helpNamesTheImport();
    void importsPricesOnTheTerminal_data();
    void importsPricesOnTheTerminal();

private:
    std::unique_ptr<QTemporaryDir> m_folder;
};

void ImportCommandTest::init()
{
    m_folder = std::make_unique<QTemporaryDir>();
    normsample::BaseShape shape;
    shape.norms = 10;
    shape.resourcesPerNorm = 3;
    writeFile(m_folder->filePath(QStringLiteral("ГЭСН.xml")), normsample::base(shape));
    writeFile(m_folder->filePath(QStringLiteral("firm.xml")), QByteArray(R"(<?xml version="1.0"?>
<base><ResourcesDirectory><ResourceCategory Type="ФИРМЕННЫЕ НОРМЫ" CodePrefix="ФН">
 <Work Code="ФН-01" EndName="Кладка фирменная" MeasureUnit="1 м3" Source="Калькуляция № 1"><History>
  <Version Number="1" Date="2026-03-03T10:00:00+03:00" Login="ivanov" Changes="создана"
   Code="ФН-01" EndName="Кладка фирменная" MeasureUnit="1 м3" Source="Калькуляция № 1">
   <Resources><Resource Code="1-100-30" EndName="Разряд 3,0" Quantity="4.5"/></Resources>
  </Version>
 </History></Work>
</ResourceCategory></ResourcesDirectory></base>
)"));
    // Written by hand or by another program: no history, a name group, no group of a line.
    writeFile(m_folder->filePath(QStringLiteral("handmade.xml")),
              QByteArray(R"(<?xml version="1.0"?>
<base><ResourcesDirectory><ResourceCategory Type="ФИРМЕННЫЕ НОРМЫ" CodePrefix="ФН">
 <Work Code="ФН-02" EndName="Кладка стен" MeasureUnit="1 м3">
  <Resources><Resource EndName="Кирпич" MeasureUnit="шт" Quantity="400"/></Resources></Work>
 <NameGroup BeginName="Штукатурка стен:"><Work Code="ФН-03" EndName="гладкая" MeasureUnit="100 м2">
  <Resources><Resource EndName="Раствор" MeasureUnit="м3" Quantity="П"/></Resources></Work>
 </NameGroup>
</ResourceCategory></ResourcesDirectory></base>
)"));
    // An unpacked edition: a norm file beside data of another kind.
    QDir(m_folder->path()).mkdir(QStringLiteral("издание"));
    shape.prefix = QStringLiteral("ГЭСНр");
    writeFile(m_folder->filePath(QStringLiteral("издание/ГЭСНр.xml")), normsample::base(shape));
    writeFile(m_folder->filePath(QStringLiteral("издание/Ключи перехода ТГ.xml")),
              QByteArray("\xEF\xBB\xBF<?xml version=\"1.0\" standalone=\"yes\"?>\r\n"
                         "<NewDataSet>\r\n<Table><Key>1</Key></Table>\r\n</NewDataSet>\r\n"));
    writeFile(m_folder->filePath(QStringLiteral("broken.xml")),
              QByteArray("<base>\n<ResourcesDirectory>\n</base>\n"));
}

void ImportCommandTest::answersOnTheTerminal_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("lastOutputLine");
    QTest::addColumn<QString>("errorLine");
    QTest::newRow("imported") << QStringList{"--import-norms", "ГЭСН.xml"} << 0
                              << "Загружено в «data/norms.db»: категорий 1, норм 10, строк "
                                 "ресурсов 30."
                              << "";
    QTest::newRow("the firm's file")
        << QStringList{"--import-norms", "firm.xml"} << 0
        << "Фирменные нормы из «firm.xml»: новых 1, обновлено 0, без изменений 0."
        << "";
    QTest::newRow("a firm file without history")
        << QStringList{"--import-norms", "handmade.xml"} << 0
        << "Фирменные нормы из «handmade.xml»: новых 2, обновлено 0, без изменений 0."
        << "";
    QTest::newRow("federal and firm files together")
        << QStringList{"--import-norms", "ГЭСН.xml", "firm.xml"} << 0
        << "Загружено в «data/norms.db»: категорий 1, норм 10, строк ресурсов 30. Фирменные "
           "нормы из «firm.xml»: новых 1, обновлено 0, без изменений 0."
        << "";
    QTest::newRow("an edition's folder")
        << QStringList{"--import-norms", "издание"} << 0
        << "Загружено в «data/norms.db»: категорий 1, норм 10, строк ресурсов 30. Оставлены без "
           "загрузки: «Ключи перехода ТГ.xml» (его корневой элемент «NewDataSet», а не «base»)."
        << "";
    QTest::newRow("broken file") << QStringList{"--import-norms", "ГЭСН.xml", "broken.xml"} << 1
                                 << ""
                                 << "Файл «broken.xml» поврежден: строка 3, столбец 7: нарушена "
                                    "разметка XML.";
    QTest::newRow("no file named") << QStringList{"--import-norms"} << 1 << ""
                                   << "Не указаны файлы базы норм для загрузки.";
    QTest::newRow("file missing") << QStringList{"--import-norms", "nowhere.xml"} << 1 << ""
                                  << "Не удалось открыть файл «nowhere.xml».";
}

void ImportCommandTest::answersOnTheTerminal()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, lastOutputLine);
    QFETCH(QString, errorLine);
    QProcess program;
    startWithoutDisplay(program, m_folder->path(), arguments);
    QVERIFY(program.waitForFinished(60000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), exitCode);
    const QStringList output =
        QString::fromUtf8(program.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(output.isEmpty() ? QString() : output.last(), lastOutputLine);
    // The whole way is told once the import has ended, just before its summary.
    const QStringList whole = output.filter(QStringLiteral(": 100 %, норм: "));
    QCOMPARE(whole.size(), exitCode == 0 ? 1 : 0);
    if (exitCode == 0)
        QCOMPARE(output.at(output.size() - 2), whole.front());
    QCOMPARE(QString::fromUtf8(program.readAllStandardError()).trimmed(), errorLine);
    // Only a whole import is kept.
    QCOMPARE(QFile::exists(m_folder->filePath(QStringLiteral("data/norms.db"))) &&
                 norms::NormDatabase::open(m_folder->filePath(QStringLiteral("data/norms.db")))
                     .database->hasNorms(),
             exitCode == 0);
}

void ImportCommandTest::interruptedImportLeavesPreviousBase_data()
{
    QTest::addColumn<bool>("killed"); // or else the disk fills up
    QTest::newRow("killed half way") << true;
    QTest::newRow("the disk fills up") << false;
}

void ImportCommandTest::interruptedImportLeavesPreviousBase()
{
    QFETCH(bool, killed);
    const QString database = m_folder->filePath(QStringLiteral("data/norms.db"));
    QCOMPARE(norms::importFiles(database, {m_folder->filePath(QStringLiteral("ГЭСН.xml"))}).norms,
             10);
    // Large enough that the import is far from done when its first tenth is told.
    normsample::BaseShape shape;
    shape.norms = 30000;
    writeFile(m_folder->filePath(QStringLiteral("big.xml")), normsample::base(shape));

    QProcess program;
    const QStringList arguments{QStringLiteral("--import-norms"), QStringLiteral("big.xml")};
    if (killed) {
        startWithoutDisplay(program, m_folder->path(), arguments);
        QVERIFY(program.waitForStarted());
        QByteArray output;
        while (!output.contains('\n') && program.waitForReadyRead(60000))
            output += program.readAllStandardOutput();
        QVERIFY2(output.startsWith("big.xml: 10 %, норм: "), output.constData());
        program.kill();
        QVERIFY(program.waitForFinished(10000));
        QCOMPARE(program.exitStatus(), QProcess::CrashExit);
    } else {
        // Files may grow to 1 MB, far less than the import writes: its writes fail as on a
        // full disk.
        startWithoutDisplay(program, m_folder->path(),
                            {QStringLiteral("-c"),
                             QStringLiteral("trap '' XFSZ; ulimit -f 2048; exec \"$0\" \"$@\""),
                             QStringLiteral(MERILON_PROGRAM), arguments[0], arguments[1]},
                            QStringLiteral("/bin/sh"));
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(program.exitCode(), 1);
        QCOMPARE(QString::fromUtf8(program.readAllStandardError()).trimmed(),
                 QStringLiteral("Не удалось записать или прочитать базу норм «data/norms.db»: "
                                "диск заполнен или недоступен."));
    }

    norms::NormDatabase::Opened opened = norms::NormDatabase::open(database);
    QVERIFY2(opened.database, qPrintable(opened.refusal));
    norms::sql::Statement check(opened.database->connection().handle(),
                                "SELECT (SELECT count(*) FROM norms), (SELECT name FROM norms "
                                "WHERE code = '01-01-001-04'), (SELECT count(*) FROM resources), "
                                "(SELECT count(*) FROM norm_words)");
    QVERIFY(check.next());
    QCOMPARE(check.integer(0), 10);
    QCOMPARE(check.text(1), QStringLiteral("Устройство стен наружных из кирпича керамического: "
                                           "толщиной в 1,5 кирпича"));
    QCOMPARE(check.integer(2), 30);
    QCOMPARE(check.integer(3), 10);
}

void ImportCommandTest::helpNamesTheImport()
{
    QProcess program;
    startWithoutDisplay(program, m_folder->path(), {QStringLiteral("--help")});
    QVERIFY(program.waitForFinished(30000));
    const QString help = QString::fromUtf8(program.readAllStandardOutput());
    QVERIFY2(help.contains(
                 QStringLiteral("  --import-norms   Загрузить файлы XML федеральной базы норм")),
             qPrintable(help));
    QVERIFY2(help.contains(QStringLiteral("  --import-prices  Загрузить сметные цены региона")),
             qPrintable(help));
    QVERIFY2(help.contains(QStringLiteral("data/norms.db и выйти.")), qPrintable(help));
    QVERIFY(!QFile::exists(m_folder->filePath(QStringLiteral("data"))));
}

void ImportCommandTest::importsPricesOnTheTerminal_data()
{
    QTest::addColumn<QString>("subject");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("said"); // the last line, on the output or the errors
    QTest::newRow("the summary last") << "г. Москва" << 0 << "ставок оплаты труда 1.";
    QTest::newRow("no subject, no list") << "" << 1 << "не указывает субъект Российской Федерации";
}

void ImportCommandTest::importsPricesOnTheTerminal()
{
    QFETCH(QString, subject);
    QFETCH(int, exitCode);
    QFETCH(QString, said);
    splitform::Form form;
    form.subject = subject;
    form.resources = {
        {"4-100-060", "Средний разряд машинистов 6,0", "чел.-ч", "", "", "", "", "982,04", ""}};
    const QString file = m_folder->filePath(QStringLiteral("Москва.csv"));
    QVERIFY(splitform::writeCsv(file, form, u';', true));
    QProcess program;
    startWithoutDisplay(program, m_folder->path(), {QStringLiteral("--import-prices"), file});
    QVERIFY(program.waitForFinished(30000));
    QCOMPARE(program.exitCode(), exitCode);
    const QStringList lines = QString::fromUtf8(exitCode == 0 ? program.readAllStandardOutput()
                                                              : program.readAllStandardError())
                                  .split(u'\n', Qt::SkipEmptyParts);
    QVERIFY2(!lines.isEmpty() && lines.back().contains(said), qPrintable(lines.join(u'\n')));
}

QTEST_GUILESS_MAIN(ImportCommandTest)
#include "tst_importcommand_posix.moc"
