#include "journalfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <windows.h>

// The file errors and the atomic replacement with the Windows file API. Codes a test cannot
// provoke here are checked through the message table alone.
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

std::wstring nativePath(const QString &path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}

} // namespace

class JournalFileWindowsTest : public QObject
{
    Q_OBJECT

private slots:
    void errorMessages_data();
    void errorMessages();
    void failedSaveKeepsThePreviousFile_data();
    void failedSaveKeepsThePreviousFile();
    void fileHeldOpenByAnotherProgram();
    void replacedFileLosesNoBytes();
};

void JournalFileWindowsTest::errorMessages_data()
{
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("message");
    QTest::newRow("file not found") << 2 << "File not found";
    QTest::newRow("path not found") << 3 << "Invalid filename";
    QTest::newRow("too many open files") << 4 << "Too many open files";
    QTest::newRow("access denied") << 5 << "File access denied";
    QTest::newRow("invalid handle") << 6 << "I/O error 6";
    QTest::newRow("sharing violation") << 32 << "I/O error 32";
    QTest::newRow("full disk") << 112 << "I/O error 112";
    QTest::newRow("invalid name") << 123 << "I/O error 123";
}

void JournalFileWindowsTest::errorMessages()
{
    QFETCH(int, error);
    QFETCH(QString, message);
    QCOMPARE(journalfile::errorMessage(error), message);
}

void JournalFileWindowsTest::failedSaveKeepsThePreviousFile_data()
{
    QTest::addColumn<QString>("cause");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing folder") << "missing-folder"
                                    << "Invalid filename";
    QTest::newRow("read-only file") << "read-only"
                                    << "File access denied";
    QTest::newRow("folder at the target") << "directory"
                                          << "File access denied";
}

void JournalFileWindowsTest::failedSaveKeepsThePreviousFile()
{
    QFETCH(QString, cause);
    QFETCH(QString, message);
    QTemporaryDir folder;
    QString path = folder.filePath(QStringLiteral("history.txt"));
    const QByteArray previous("earlier journal\r\n\r\n");
    if (cause == u"missing-folder") {
        path = folder.filePath(QStringLiteral("data/history.txt"));
    } else if (cause == u"read-only") {
        QVERIFY(writeBytes(path, previous));
        QVERIFY(::SetFileAttributesW(nativePath(path).c_str(), FILE_ATTRIBUTE_READONLY));
    } else {
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("history.txt")));
    }

    QCOMPARE(journalfile::write({QStringLiteral("new")}, path), message);
    if (cause == u"read-only") {
        QCOMPARE(readAll(path), previous);
        ::SetFileAttributesW(nativePath(path).c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).filter(u".history"),
             QStringList());
}

// Another program that holds the file open without sharing makes the save fail with the
// system's code, and the file keeps what it held.
void JournalFileWindowsTest::fileHeldOpenByAnotherProgram()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("history.txt"));
    const QByteArray previous("earlier journal\r\n\r\n");
    QVERIFY(writeBytes(path, previous));
    const HANDLE held = ::CreateFileW(nativePath(path).c_str(), GENERIC_READ, 0, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    QVERIFY(held != INVALID_HANDLE_VALUE);
    const std::optional<QString> failure = journalfile::write({QStringLiteral("new")}, path);
    ::CloseHandle(held);
    QCOMPARE(failure, QStringLiteral("I/O error %1").arg(ERROR_SHARING_VIOLATION));
    QCOMPARE(readAll(path), previous);
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"history.txt"});
}

void JournalFileWindowsTest::replacedFileLosesNoBytes()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("history.txt"));
    QVERIFY(writeBytes(path, QByteArray(1 << 16, 'x')));
    const QStringList longJournal(5000, QStringLiteral("Итоги произведенного расчета:"));
    QCOMPARE(journalfile::write(longJournal, path), std::nullopt);
    const QByteArray written = readAll(path);
    QCOMPARE(written.size(), 5000 * (29 + 2) + 2);
    QCOMPARE(written, journalfile::encode(longJournal));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"history.txt"});
}

QTEST_GUILESS_MAIN(JournalFileWindowsTest)
#include "tst_journalfile_windows.moc"
