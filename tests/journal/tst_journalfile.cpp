#include "journal.h"
#include "journalfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// What every system writes alike; each system's own errors are tested in
// tst_journalfile_posix.cpp and tst_journalfile_windows.cpp.
namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class JournalFileTest : public QObject
{
    Q_OBJECT

private slots:
    void encodesLinesInWindows1251WithCrLf_data();
    void encodesLinesInWindows1251WithCrLf();
    void encodesTheWholeCyrillicAlphabet();
    void journalOfNLinesGivesNPlusOneLines();
    void writeReplacesTheWholeFile();
    void writeCreatesANewFile();
    void writeBytesReplacesTheWholeFile();
};

void JournalFileTest::encodesLinesInWindows1251WithCrLf_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("no lines") << QStringList() << QByteArray("\r\n");
    QTest::newRow("latin") << QStringList{"a", "b"} << QByteArray("a\r\nb\r\n\r\n");
    QTest::newRow("empty line kept") << QStringList{"", "x"} << QByteArray("\r\nx\r\n\r\n");
    QTest::newRow("cyrillic") << QStringList{QStringLiteral("Мерилон")}
                              << QByteArray("\xCC\xE5\xF0\xE8\xEB\xEE\xED\r\n\r\n");
    QTest::newRow("yo and capitals")
        << QStringList{QStringLiteral("ЁёАЯая")} << QByteArray("\xA8\xB8\xC0\xDF\xE0\xFF\r\n\r\n");
    QTest::newRow("quotes and digits")
        << QStringList{QStringLiteral("\"Мерилон 3\": 1,5")}
        << QByteArray("\"\xCC\xE5\xF0\xE8\xEB\xEE\xED 3\": 1,5\r\n\r\n");
    // A character the code page lacks stands as «?», never dropped.
    QTest::newRow("signs the code page lacks")
        << QStringList{QStringLiteral("Стяжка ≤ 50 мм"), QStringLiteral("м²")}
        << QByteArray("\xD1\xF2\xFF\xE6\xEA\xE0 ? 50 \xEC\xEC\r\n\xEC?\r\n\r\n");
    QTest::newRow("beyond the first plane, one «?»")
        << QStringList{QStringLiteral("a\U0001F600b")} << QByteArray("a?b\r\n\r\n");
    QTest::newRow("euro and numero are in the code page")
        << QStringList{QStringLiteral("€№")} << QByteArray("\x88\xB9\r\n\r\n");
}

void JournalFileTest::encodesLinesInWindows1251WithCrLf()
{
    QFETCH(QStringList, lines);
    QFETCH(QByteArray, bytes);
    QCOMPARE(journalfile::encode(lines), bytes);
}

void JournalFileTest::encodesTheWholeCyrillicAlphabet()
{
    // А..я are 0xC0..0xFF in one run; Ё and ё sit apart.
    QString alphabet;
    QByteArray expected;
    for (char16_t letter = u'А'; letter <= u'я'; ++letter) {
        alphabet += QChar(letter);
        expected += char(0xC0 + (letter - u'А'));
    }
    alphabet += QStringLiteral("Ёё№");
    expected += "\xA8\xB8\xB9\r\n\r\n";
    QCOMPARE(journalfile::encode({alphabet}), expected);
}

void JournalFileTest::journalOfNLinesGivesNPlusOneLines()
{
    Journal journal;
    QCOMPARE(journal.lines(),
             QStringList{QStringLiteral("Ведеться история расчетов программы \"Мерилон 3\"")});
    for (int i = 0; i < 9; ++i)
        journal.append(QStringLiteral("строка %1").arg(i));
    const QByteArray bytes = journalfile::encode(journal.lines());
    QCOMPARE(bytes.count("\r\n"), 11);
    QVERIFY(bytes.endsWith(" 8\r\n\r\n"));
    QCOMPARE(bytes.split('\n').size(), 12); // ten lines, the empty one, and nothing after
    QVERIFY(!bytes.startsWith("\xEF\xBB\xBF"));
}

void JournalFileTest::writeReplacesTheWholeFile()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("history.txt"));
    QVERIFY(writeBytes(path, QByteArray(4096, 'x')));
    QCOMPARE(journalfile::write({QStringLiteral("Мерилон")}, path), std::nullopt);
    QCOMPARE(readAll(path), QByteArray("\xCC\xE5\xF0\xE8\xEB\xEE\xED\r\n\r\n"));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"history.txt"});
}

void JournalFileTest::writeCreatesANewFile()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("06.12.2026.txt"));
    const QStringList lines{QStringLiteral("Ведеться история"), QString()};
    QCOMPARE(journalfile::write(lines, path), std::nullopt);
    QCOMPARE(readAll(path),
             QByteArray("\xC2\xE5\xE4\xE5\xF2\xFC\xF1\xFF \xE8\xF1\xF2\xEE\xF0\xE8\xFF"
                        "\r\n\r\n\r\n"));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{"06.12.2026.txt"});
}

// Other files the program writes (the PDF export) go through the same replacement.
void JournalFileTest::writeBytesReplacesTheWholeFile()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("history.pdf"));
    QVERIFY(writeBytes(path, QByteArray(100, 'x')));
    QCOMPARE(journalfile::writeBytes(QByteArray("%PDF", 4), path), std::nullopt);
    QCOMPARE(readAll(path), QByteArray("%PDF"));
    QCOMPARE(journalfile::writeBytes(QByteArray("y"),
                                     folder.filePath(QStringLiteral("data/history.pdf"))),
             QStringLiteral("Invalid filename"));
    QCOMPARE(readAll(path), QByteArray("%PDF"));
}

QTEST_GUILESS_MAIN(JournalFileTest)
#include "tst_journalfile.moc"
