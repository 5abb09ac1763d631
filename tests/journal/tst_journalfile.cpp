#include "journal.h"
#include "journalfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

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

// Lowers a resource limit for the life of the object.
class LimitGuard
{
public:
    LimitGuard(int resource, rlim_t soft) : m_resource(resource)
    {
        getrlimit(resource, &m_saved);
        rlimit lowered = m_saved;
        lowered.rlim_cur = soft;
        setrlimit(resource, &lowered);
    }
    ~LimitGuard() { setrlimit(m_resource, &m_saved); }

private:
    int m_resource;
    rlimit m_saved;
};

// A small file system of its own, mounted for the life of the object where the machine allows.
class ScratchMount
{
public:
    ScratchMount(const QString &folder, unsigned long flags, const char *options)
        : m_folder(QFile::encodeName(folder))
    {
        m_mounted = ::mount("tmpfs", m_folder.constData(), "tmpfs", flags, options) == 0;
    }
    ~ScratchMount()
    {
        if (m_mounted)
            ::umount(m_folder.constData());
    }
    bool mounted() const { return m_mounted; }

private:
    QByteArray m_folder;
    bool m_mounted = false;
};

} // namespace

class JournalFileTest : public QObject
{
    Q_OBJECT

private slots:
    void encodesLinesInWindows1251WithCrLf_data();
    void encodesLinesInWindows1251WithCrLf();
    void journalOfNLinesGivesNPlusOneLines();
    void errorMessages_data();
    void errorMessages();
    void writeReplacesTheWholeFile();
    void failedSaveKeepsThePreviousFile_data();
    void failedSaveKeepsThePreviousFile();
    void writeFailingHalfWayKeepsThePreviousFile();
    void tooManyOpenFiles();
    void readOnlyFolder();
    void fullDeviceKeepsThePreviousFile();
    void newFileGetsUsualPermissions();
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
}

void JournalFileTest::encodesLinesInWindows1251WithCrLf()
{
    QFETCH(QStringList, lines);
    QFETCH(QByteArray, bytes);
    QCOMPARE(journalfile::encode(lines), bytes);
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

void JournalFileTest::errorMessages_data()
{
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing folder") << ENOENT << "Invalid filename";
    QTest::newRow("folder is a file") << ENOTDIR << "Invalid filename";
    QTest::newRow("too many files") << EMFILE << "Too many open files";
    QTest::newRow("system file table") << ENFILE << "Too many open files";
    QTest::newRow("permission") << EACCES << "File access denied";
    QTest::newRow("not permitted") << EPERM << "File access denied";
    QTest::newRow("read-only file system") << EROFS << "File access denied";
    QTest::newRow("full device") << ENOSPC << "I/O error 28";
    QTest::newRow("is a directory") << EISDIR << "I/O error 21";
}

void JournalFileTest::errorMessages()
{
    QFETCH(int, error);
    QFETCH(QString, message);
    QCOMPARE(journalfile::errorMessage(error), message);
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

void JournalFileTest::failedSaveKeepsThePreviousFile_data()
{
    QTest::addColumn<QString>("cause");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing folder") << "missing-folder"
                                    << "Invalid filename";
    QTest::newRow("read-only file") << "read-only"
                                    << "File access denied";
    QTest::newRow("target is a directory") << "directory"
                                           << "I/O error 21";
}

void JournalFileTest::failedSaveKeepsThePreviousFile()
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
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup));
    } else {
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("history.txt")));
    }

    QCOMPARE(journalfile::write({QStringLiteral("new")}, path), message);
    if (cause == u"read-only")
        QCOMPARE(readAll(path), previous);
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).filter(u".history"),
             QStringList());
}

void JournalFileTest::writeFailingHalfWayKeepsThePreviousFile()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("history.txt"));
    const QByteArray previous("earlier journal\r\n\r\n");
    QVERIFY(writeBytes(path, previous));
    const QStringList longJournal(2000, QStringLiteral("Итоги произведенного расчета:"));

    // A file size limit makes the write stop part way, as a full device does.
    std::signal(SIGXFSZ, SIG_IGN);
    std::optional<QString> failure;
    {
        LimitGuard limit(RLIMIT_FSIZE, 1024);
        failure = journalfile::write(longJournal, path);
    }
    QCOMPARE(failure, QStringLiteral("I/O error %1").arg(EFBIG));
    QCOMPARE(readAll(path), previous);
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"history.txt"});
}

void JournalFileTest::tooManyOpenFiles()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("history.txt"));
    QList<int> held;
    std::optional<QString> failure;
    {
        LimitGuard limit(RLIMIT_NOFILE, 32);
        for (int fd; (fd = ::open("/dev/null", O_RDONLY)) >= 0;)
            held.append(fd);
        failure = journalfile::write({QStringLiteral("x")}, path);
        for (int fd : held)
            ::close(fd);
    }
    QCOMPARE(failure, QStringLiteral("Too many open files"));
    QVERIFY(!QFile::exists(path));
}

void JournalFileTest::readOnlyFolder()
{
    QTemporaryDir folder;
    ScratchMount readOnly(folder.path(), MS_RDONLY, "size=64k");
    if (!readOnly.mounted())
        QSKIP("this machine does not allow mounting a file system");
    const QString path = folder.filePath(QStringLiteral("history.txt"));
    QCOMPARE(journalfile::write({QStringLiteral("x")}, path), QStringLiteral("File access denied"));
}

void JournalFileTest::fullDeviceKeepsThePreviousFile()
{
    QTemporaryDir folder;
    ScratchMount small(folder.path(), 0, "size=16k");
    if (!small.mounted())
        QSKIP("this machine does not allow mounting a file system");
    const QString path = folder.filePath(QStringLiteral("history.txt"));
    const QByteArray previous("earlier journal\r\n\r\n");
    QVERIFY(writeBytes(path, previous));
    const QStringList longJournal(1000, QStringLiteral("Итоги произведенного расчета:"));
    QCOMPARE(journalfile::write(longJournal, path), QStringLiteral("I/O error %1").arg(ENOSPC));
    QCOMPARE(readAll(path), previous);
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"history.txt"});
}

void JournalFileTest::newFileGetsUsualPermissions()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("06.12.2026.txt"));
    const mode_t saved = ::umask(022);
    QCOMPARE(journalfile::write({QStringLiteral("x")}, path), std::nullopt);
    ::umask(saved);
    struct stat status;
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &status), 0);
    QCOMPARE(status.st_mode & 07777, mode_t(0644));
}

QTEST_GUILESS_MAIN(JournalFileTest)
#include "tst_journalfile.moc"
