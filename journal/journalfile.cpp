#include "journalfile.h"

#include <QFile>
#include <QStringEncoder>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace journalfile {

QByteArray encode(const QStringList &lines)
{
    QStringEncoder encoder("windows-1251");
    Q_ASSERT(encoder.isValid());
    QString text;
    qsizetype size = 2;
    for (const QString &line : lines)
        size += line.size() + 2;
    text.reserve(size);
    for (const QString &line : lines) {
        text += line;
        text += QLatin1String("\r\n");
    }
    text += QLatin1String("\r\n");
    return encoder.encode(text);
}

QString errorMessage(int errorNumber)
{
    switch (errorNumber) {
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("Invalid filename");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("Too many open files");
    case EACCES:
    case EPERM:
    case EROFS:
        return QStringLiteral("File access denied");
    default:
        return QStringLiteral("I/O error %1").arg(errorNumber);
    }
}

namespace {

// A file without any write permission is read-only even for root, as users expect of a
// file they have marked so.
int refusalOfTarget(const QByteArray &path, mode_t *mode)
{
    struct stat status;
    if (::stat(path.constData(), &status) != 0)
        return errno == ENOENT ? 0 : errno;
    if (S_ISDIR(status.st_mode))
        return EISDIR;
    *mode = status.st_mode & 07777;
    if ((status.st_mode & 0222) == 0 || ::access(path.constData(), W_OK) != 0)
        return EACCES;
    return 0;
}

mode_t defaultMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

int writeAll(int fd, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        data += written;
        left -= written;
    }
    return ::fsync(fd) == 0 ? 0 : errno;
}

int replaceAtomically(const QByteArray &bytes, const QByteArray &target)
{
    mode_t mode = defaultMode();
    if (const int refusal = refusalOfTarget(target, &mode))
        return refusal;

    const qsizetype slash = target.lastIndexOf('/');
    QByteArray temporary = target.left(slash + 1) + '.' + target.mid(slash + 1) + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return errno;

    int failure = ::fchmod(fd, mode) == 0 ? writeAll(fd, bytes) : errno;
    if (::close(fd) != 0 && failure == 0)
        failure = errno;
    if (failure == 0 && ::rename(temporary.constData(), target.constData()) != 0)
        failure = errno;
    if (failure != 0)
        ::unlink(temporary.constData());
    return failure;
}

} // namespace

std::optional<QString> write(const QStringList &lines, const QString &path)
{
    return writeBytes(encode(lines), path);
}

std::optional<QString> writeBytes(const QByteArray &bytes, const QString &path)
{
    if (const int failure = replaceAtomically(bytes, QFile::encodeName(path)))
        return errorMessage(failure);
    return std::nullopt;
}

} // namespace journalfile
