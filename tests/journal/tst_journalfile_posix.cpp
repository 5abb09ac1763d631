#include "journalfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

// Every umask call of this program passes here, so a test can see whether the writer made one.
static std::atomic<int> umaskCalls{0};

extern "C" mode_t umask(mode_t mask)
{
    ++umaskCalls;
    return mode_t(::syscall(SYS_umask, mask));
}

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

class JournalFilePosixTest : public QObject
{
    Q_OBJECT

private slots:
    void errorMessages_data();
    void errorMessages();
    void failedSaveKeepsThePreviousFile_data();
    void failedSaveKeepsThePreviousFile();
    void writeFailingHalfWayKeepsThePreviousFile();
    void tooManyOpenFiles();
    void readOnlyFolder();
    void fullDeviceKeepsThePreviousFile();
    void fileModes_data();
    void fileModes();
    void umaskIsLeftAlone();
};

void JournalFilePosixTest::errorMessages_data()
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
    QTest::newRow("is a directory") << EISDIR << "File access denied";
}

void JournalFilePosixTest::errorMessages()
{
    QFETCH(int, error);
    QFETCH(QString, message);
    QCOMPARE(journalfile::errorMessage(error), message);
}

void JournalFilePosixTest::failedSaveKeepsThePreviousFile_data()
{
    QTest::addColumn<QString>("cause");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing folder") << "missing-folder"
                                    << "Invalid filename";
    QTest::newRow("read-only file") << "read-only"
                                    << "File access denied";
    QTest::newRow("target is a directory") << "directory"
                                           << "File access denied";
}

void JournalFilePosixTest::failedSaveKeepsThePreviousFile()
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

void JournalFilePosixTest::writeFailingHalfWayKeepsThePreviousFile()
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

void JournalFilePosixTest::tooManyOpenFiles()
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

void JournalFilePosixTest::readOnlyFolder()
{
    QTemporaryDir folder;
    ScratchMount readOnly(folder.path(), MS_RDONLY, "size=64k");
    if (!readOnly.mounted())
        QSKIP("this machine does not allow mounting a file system");
    const QString path = folder.filePath(QStringLiteral("history.txt"));
    QCOMPARE(journalfile::write({QStringLiteral("x")}, path), QStringLiteral("File access denied"));
}

void JournalFilePosixTest::fullDeviceKeepsThePreviousFile()
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

void JournalFilePosixTest::fileModes_data()
{
    QTest::addColumn<int>("umask");
    QTest::addColumn<int>("previousMode"); // -1: no file yet
    QTest::addColumn<int>("mode");
    QTest::newRow("new file, usual umask") << 022 << -1 << 0644;
    QTest::newRow("new file, private umask") << 077 << -1 << 0600;
    QTest::newRow("new file, group umask") << 002 << -1 << 0664;
    QTest::newRow("replaced file keeps its mode") << 022 << 0640 << 0640;
    QTest::newRow("replaced file ignores the umask") << 077 << 0666 << 0666;
}

void JournalFilePosixTest::fileModes()
{
    QFETCH(int, umask);
    QFETCH(int, previousMode);
    QFETCH(int, mode);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("06.12.2026.txt"));
    const QByteArray name = QFile::encodeName(path);
    if (previousMode >= 0) {
        QVERIFY(writeBytes(path, "earlier\r\n\r\n"));
        QCOMPARE(::chmod(name.constData(), mode_t(previousMode)), 0);
    }
    const mode_t saved = ::umask(mode_t(umask));
    const std::optional<QString> failure = journalfile::write({QStringLiteral("x")}, path);
    ::umask(saved);
    QCOMPARE(failure, std::nullopt);
    struct stat status;
    QCOMPARE(::stat(name.constData(), &status), 0);
    QCOMPARE(int(status.st_mode & 07777), mode);
    QCOMPARE(readAll(path), QByteArray("x\r\n\r\n"));
}

// Another thread may create files at the same time; a writer that sets the umask even briefly
// would hand them the wrong mode.
void JournalFilePosixTest::umaskIsLeftAlone()
{
    QTemporaryDir folder;
    const int before = umaskCalls;
    QCOMPARE(journalfile::write({QStringLiteral("x")}, folder.filePath("history.txt")),
             std::nullopt);
    QCOMPARE(journalfile::write({QStringLiteral("y")}, folder.filePath("history.txt")),
             std::nullopt);
    QCOMPARE(umaskCalls - before, 0);
}

QTEST_GUILESS_MAIN(JournalFilePosixTest)
#include "tst_journalfile_posix.moc"
