// The program's answers on the terminal: --help and --version print and end the program without
// a display to open a window on. Windows builds are GUI programs with no console to answer on.

#include "billfile.h"
#include "estimatebase.h"
#include "schemacheck.h"
#include "vorfile.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

class CommandLineTest : public QObject
{
    Q_OBJECT

private slots:
    void answersWithoutAWindow_data();
    void answersWithoutAWindow();
    void wrongUseGetsTheUsageAndCodeTwo_data();
    void wrongUseGetsTheUsageAndCodeTwo();
    void vorGoesThroughTheTerminal();
    void lsrGoesThroughTheTerminal_data();
    void lsrGoesThroughTheTerminal();

private:
    // The program without a display: a window opened by mistake ends it with an error.
    static QProcessEnvironment noDisplay();
};

QProcessEnvironment CommandLineTest::noDisplay()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    return environment;
}

void CommandLineTest::wrongUseGetsTheUsageAndCodeTwo_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("unknown option") << QStringList{"--bogus"};
    QTest::newRow("export without files") << QStringList{"--export-vor"};
    QTest::newRow("import with one file") << QStringList{"--import-vor", "a.gge"};
}

void CommandLineTest::wrongUseGetsTheUsageAndCodeTwo()
{
    QFETCH(QStringList, arguments);
    QProcess program;
    program.setProcessEnvironment(noDisplay());
    program.start(QStringLiteral(MERILON_PROGRAM), arguments);
    QVERIFY(program.waitForFinished(30000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 2);
    QVERIFY(
        QString::fromUtf8(program.readAllStandardError()).contains(QStringLiteral("--export-vor")));
}

void CommandLineTest::vorGoesThroughTheTerminal()
{
    QTemporaryDir folder;
    const QString bill = folder.filePath(QStringLiteral("пример.merilon-bom"));
    const QString vor = folder.filePath(QStringLiteral("пример.gge"));
    QString said; // on the terminal, by the last run
    const auto run = [&said](const QStringList &arguments, int code) {
        QProcess program;
        program.setProcessEnvironment(noDisplay());
        program.start(QStringLiteral(MERILON_PROGRAM), arguments);
        QVERIFY(program.waitForFinished(30000));
        said = QString::fromUtf8(program.readAllStandardError());
        QVERIFY2(program.exitCode() == code, qPrintable(said));
    };
    run({QStringLiteral("--import-vor"), QStringLiteral(MERILON_GGE_FIXTURES "/example-vor.gge"),
         bill},
        0);
    QVERIFY(QFile::exists(bill));
    run({QStringLiteral("--export-vor"), bill, vor}, 0);
    QFile written(vor);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QVERIFY(written.readAll().contains("<QuantityFormula>11.8*8.3*0.4*1.1</QuantityFormula>"));
    // A broken .gge is refused, and the bill file stays as it was.
    QFile broken(folder.filePath(QStringLiteral("broken.gge")));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("<Construction>");
    broken.close();
    const QDateTime before = QFileInfo(bill).lastModified();
    run({QStringLiteral("--import-vor"), broken.fileName(), bill}, 1);
    QCOMPARE(QFileInfo(bill).lastModified(), before);
    QVERIFY2(said.startsWith(broken.fileName() + QStringLiteral(": Файл ВОР не прочитан: ")),
             qPrintable(said));
    // Neither command writes one kind of file over a name of the other.
    run({QStringLiteral("--export-vor"), bill, bill}, 1);
    QVERIFY2(said.startsWith(QStringLiteral("Ведомость объемов работ не записана: «%1» — имя файла "
                                            "ведомости (.merilon-bom)")
                                 .arg(bill)),
             qPrintable(said));
    run({QStringLiteral("--import-vor"), vor, vor}, 1);
    QVERIFY2(said.startsWith(QStringLiteral("Ведомость не записана: «%1» — имя файла ведомости "
                                            "объемов работ (.gge)")
                                 .arg(vor)),
             qPrintable(said));
    QCOMPARE(QFileInfo(bill).lastModified(), before);
    QVERIFY(billfile::read(bill).bill);
    QVERIFY(QFile::setPermissions(vor, QFile::ReadOwner));
    run({QStringLiteral("--export-vor"), bill, vor}, 1);
    QCOMPARE(said, QStringLiteral("Ведомость не экспортирована в файл «%1»: файл защищен от "
                                  "записи.\n")
                       .arg(vor));
    QVERIFY(vorfile::read(vor, QDateTime()).bill);
}

void CommandLineTest::lsrGoesThroughTheTerminal_data()
{
    QTest::addColumn<QStringList>("norms");
    QTest::addColumn<QString>("billName");
    QTest::addColumn<int>("code");
    QTest::addColumn<QStringList>("said"); // the beginnings of the lines on the terminal
    QTest::newRow("a bill of norms priced")
        << QStringList{"ГЭСН 06-01-001-02"} << "склад.merilon-bom" << 0
        << QStringList{"ЛСР записана: "};
    QTest::newRow("a «по проекту» line and two references")
        << QStringList{"ГЭСН 06-01-001-02", "ГЭСН 06-01-001-01"} << "склад.merilon-bom" << 1
        << QStringList{"ЛСР не записана: исправьте пробелы (4).",
                       "— Позиция 2 (ГЭСН 06-01-001-01), ресурс 04.1.02.05",
                       "— Позиция 2 (ГЭСН 06-01-001-01): у нормы несколько нормативов НР и СП",
                       "— Раздел 1, позиция 2 (ГЭСН 06-01-001-01): нет норматива накладных",
                       "— Раздел 1, позиция 2 (ГЭСН 06-01-001-01): нет норматива сметной"};
    QTest::newRow("a file for expertise given as the bill")
        << QStringList{"ГЭСН 06-01-001-02"} << "склад.gge" << 1
        << QStringList{"ЛСР не записана: «склад.gge» — файл для экспертизы (.gge)"};
}

void CommandLineTest::lsrGoesThroughTheTerminal()
{
    QFETCH(QStringList, norms);
    QFETCH(QString, billName);
    QFETCH(int, code);
    QFETCH(QStringList, said);
    QTemporaryDir folder;
    QCOMPARE(estimatebase::write(folder.path()), QString());
    QVERIFY(!billfile::write(estimatebase::bill(folder.path(), norms), folder.filePath(billName)));
    QProcess program;
    program.setProcessEnvironment(noDisplay());
    // The norm base is found where the program finds it, in data/ of the folder it runs in.
    program.setWorkingDirectory(folder.path());
    program.start(QStringLiteral(MERILON_PROGRAM),
                  {QStringLiteral("--export-lsr"), billName, QStringLiteral("склад-лср.gge")});
    QVERIFY(program.waitForFinished(30000));
    const QString out = QString::fromUtf8(program.readAllStandardOutput());
    const QString err = QString::fromUtf8(program.readAllStandardError());
    QVERIFY2(program.exitCode() == code, qPrintable(out + err));
    const QStringList lines = (code ? err : out).split(u'\n', Qt::SkipEmptyParts);
    QVERIFY2(lines.size() == said.size(), qPrintable(lines.join(u'\n')));
    for (int i = 0; i < said.size(); ++i)
        QVERIFY2(lines.at(i).startsWith(said.at(i)), qPrintable(lines.at(i)));
    const QString written = folder.filePath(QStringLiteral("склад-лср.gge"));
    QCOMPARE(QFile::exists(written), code == 0);
    if (code)
        return;
    const QString schema =
        QStringLiteral(MERILON_LSR_FIXTURES "/LocalEstimateResourceIndexMethod-3_01.xsd");
    const QString problems = schemaProblems(schema, schema, written);
    QVERIFY2(problems.isEmpty(), qPrintable(problems));
    // The positions point to the lines of the bill's own bill of quantities, by its file's name.
    QFile file(written);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.contains("<FileNameQTF>склад.gge</FileNameQTF>"));
    QVERIFY(bytes.contains("<NumQTF>1</NumQTF>"));
}

void CommandLineTest::answersWithoutAWindow_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QStringList>("expectedLines");
    QTest::newRow("--version") << "--version" << QStringList{"Merilon 3.1"};
    QTest::newRow("-v") << "-v" << QStringList{"Merilon 3.1"};
    const QStringList help{"Мерилон 3 — расчет расхода строительных материалов.", "  -h, --help",
                           "  -v, --version"};
    QTest::newRow("--help") << "--help" << help;
    QTest::newRow("-h") << "-h" << help;
}

void CommandLineTest::answersWithoutAWindow()
{
    QFETCH(QString, option);
    QFETCH(QStringList, expectedLines);
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // With no display, a window that opened by mistake would end the program with an error.
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(MERILON_PROGRAM), {option});
    QVERIFY(program.waitForFinished(30000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    const QStringList lines = QString::fromUtf8(program.readAllStandardOutput()).split(u'\n');
    if (expectedLines.size() == 1) {
        QCOMPARE(lines, (QStringList{expectedLines.first(), QString()}));
        return;
    }
    for (const QString &expected : expectedLines) {
        const bool found = std::any_of(lines.cbegin(), lines.cend(), [&](const QString &line) {
            return line.startsWith(expected);
        });
        QVERIFY2(found, qPrintable(expected));
    }
}

QTEST_MAIN(CommandLineTest)
#include "tst_commandline_posix.moc"
