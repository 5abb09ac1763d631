// The program's answers on the terminal: --help and --version print and end the program without
// a display to open a window on. Windows builds are GUI programs with no console to answer on.

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
    void aRefusedFileIsNamedAndLeftAsItWas_data();
    void aRefusedFileIsNamedAndLeftAsItWas();

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
    const auto run = [](const QStringList &arguments, int code) {
        QProcess program;
        program.setProcessEnvironment(noDisplay());
        program.start(QStringLiteral(MERILON_PROGRAM), arguments);
        QVERIFY(program.waitForFinished(30000));
        QVERIFY2(program.exitCode() == code, program.readAllStandardError().constData());
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
}

void CommandLineTest::aRefusedFileIsNamedAndLeftAsItWas_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("from"); // «example» is the expertise's example
    QTest::addColumn<QString>("to");   // a file there already
    QTest::addColumn<QString>("said"); // {from} and {to} stand for the paths
    QTest::newRow("a bill of quantities over a bill")
        << "--export-vor"
        << "дом.merilon-bom"
        << "b.merilon-bom"
        << "Ведомость объемов работ не записана: «{to}» — имя файла ведомости (.merilon-bom)";
    QTest::newRow("a bill over a .gge")
        << "--import-vor"
        << "example"
        << "t.gge"
        << "Ведомость не записана: «{to}» — имя файла ведомости объемов работ (.gge)";
    QTest::newRow("a cut .gge") << "--import-vor"
                                << "cut.gge"
                                << "t.merilon-bom"
                                << "{from}: Файл ВОР не прочитан: ";
}

void CommandLineTest::aRefusedFileIsNamedAndLeftAsItWas()
{
    QFETCH(QString, option);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, said);
    QTemporaryDir folder;
    const QString example = QStringLiteral(MERILON_GGE_FIXTURES "/example-vor.gge");
    QFile whole(example);
    QVERIFY(whole.open(QIODevice::ReadOnly));
    const QByteArray exampleBytes = whole.readAll();
    const QString source = from == u"example" ? example : folder.filePath(from);
    const QString target = folder.filePath(to);
    const auto run = [](const QStringList &arguments) {
        QProcess program;
        program.setProcessEnvironment(noDisplay());
        program.start(QStringLiteral(MERILON_PROGRAM), arguments);
        program.waitForFinished(30000);
        return std::pair{program.exitCode(), QString::fromUtf8(program.readAllStandardError())};
    };
    if (from.endsWith(u".merilon-bom"))
        QCOMPARE(run({QStringLiteral("--import-vor"), example, source}).first, 0);
    if (from == u"cut.gge") {
        QFile cut(source);
        QVERIFY(cut.open(QIODevice::WriteOnly));
        cut.write(exampleBytes.left(exampleBytes.size() / 2));
    }
    QFile earlier(target);
    QVERIFY(earlier.open(QIODevice::WriteOnly));
    earlier.write("earlier");
    earlier.close();
    const auto [code, errors] = run({option, source, target});
    QCOMPARE(code, 1);
    const QString expected = QString(said)
                                 .replace(QStringLiteral("{from}"), source)
                                 .replace(QStringLiteral("{to}"), target);
    QVERIFY2(errors.startsWith(expected), qPrintable(errors));
    QVERIFY(earlier.open(QIODevice::ReadOnly));
    QCOMPARE(earlier.readAll(), QByteArray("earlier"));
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
