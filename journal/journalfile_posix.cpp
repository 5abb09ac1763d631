#include "journalfile.h"
#include "journalfile_system.h"

#include <QFile>
#include <QHash>
#include <QRandomGenerator>
#include <QStringDecoder>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace journalfile {

QString errorMessage(int errorCode)
{
    switch (errorCode) {
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("Invalid filename");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("Too many open files");
    case EACCES:
    case EPERM:
    case EROFS:
    // A folder standing at the file's name: Windows refuses it as access denied, and so do we.
    case EISDIR:
        return QStringLiteral("File access denied");
    default:
        return QStringLiteral("I/O error %1").arg(errorCode);
    }
}

namespace system {

namespace {

// The code page's characters above ASCII, each with its byte. Qt's encoder drops a character the
// code page lacks; the table lets it stand as «?».
const QHash<char16_t, char> &upperHalf()
{
    static const QHash<char16_t, char> table = [] {
        QByteArray bytes;
        for (int byte = 0x80; byte <= 0xFF; ++byte)
            bytes.append(char(byte));
        QStringDecoder decoder("windows-1251");
        Q_ASSERT(decoder.isValid());
        const QString decoded = decoder.decode(bytes);
        QHash<char16_t, char> characters;
        // A byte the code page leaves undefined decodes to the replacement character.
        if (decoded.size() == bytes.size()) {
            for (qsizetype i = 0; i < bytes.size(); ++i) {
                if (decoded.at(i) != QChar::ReplacementCharacter)
                    characters.insert(decoded.at(i).unicode(), bytes.at(i));
            }
        }
        return characters;
    }();
    return table;
}

} // namespace

QByteArray toWindows1251(const QString &text)
{
    const QHash<char16_t, char> &table = upperHalf();
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype at = 0; at < text.size(); ++at) {
        const char16_t unit = text.at(at).unicode();
        if (unit < 0x80) {
            bytes.append(char(unit));
            continue;
        }
        bytes.append(table.value(unit, '?'));
        // A character beyond the first plane is one «?», not two.
        if (QChar::isHighSurrogate(unit) && at + 1 < text.size() &&
            text.at(at + 1).isLowSurrogate())
            ++at;
    }
    return bytes;
}

namespace {

// A file without any write permission is read-only even for root, as users expect of a
// file they have marked so. A target that exists hands its mode on to its replacement.
int refusalOfTarget(const QByteArray &path, std::optional<mode_t> *mode)
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

// A new file beside the target. It is created as open() creates any file, so the process's
// umask gives it the usual mode without the umask being read or changed here.
int createTemporary(const QByteArray &target, QByteArray *temporary)
{
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray stem = target.left(slash + 1) + '.' + target.mid(slash + 1) + '.';
    for (int attempt = 0; attempt < 100; ++attempt) {
        *temporary = stem + QByteArray::number(QRandomGenerator::global()->generate64(), 36);
        const int fd =
            ::open(temporary->constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
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

} // namespace

int replaceAtomically(const QByteArray &bytes, const QString &path)
{
    const QByteArray target = QFile::encodeName(path);
    std::optional<mode_t> mode;
    if (const int refusal = refusalOfTarget(target, &mode))
        return refusal;

    QByteArray temporary;
    const int fd = createTemporary(target, &temporary);
    if (fd < 0)
        return errno;

    int failure = 0;
    if (mode && ::fchmod(fd, *mode) != 0)
        failure = errno;
    if (failure == 0)
        failure = writeAll(fd, bytes);
    if (::close(fd) != 0 && failure == 0)
        failure = errno;
    if (failure == 0 && ::rename(temporary.constData(), target.constData()) != 0)
        failure = errno;
    if (failure != 0)
        ::unlink(temporary.constData());
    return failure;
}

} // namespace system
} // namespace journalfile
