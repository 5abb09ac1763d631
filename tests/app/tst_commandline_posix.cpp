// The program's answers on the terminal: --help and --version print and end the program without
// a display to open a window on. Windows builds are GUI programs with no console to answer on.

#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>

#include <algorithm>

class CommandLineTest : public QObject
{
    Q_OBJECT

private slots:
    void answersWithoutAWindow_data();
    void answersWithoutAWindow();
};

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
