#include "journalfile.h"
#include "journalfile_system.h"

#include <QDir>
#include <QRandomGenerator>

#include <windows.h>

namespace journalfile {

QString errorMessage(int errorCode)
{
    switch (errorCode) {
    case ERROR_FILE_NOT_FOUND:
        return QStringLiteral("File not found");
    case ERROR_PATH_NOT_FOUND:
        return QStringLiteral("Invalid filename");
    case ERROR_TOO_MANY_OPEN_FILES:
        return QStringLiteral("Too many open files");
    case ERROR_ACCESS_DENIED:
        return QStringLiteral("File access denied");
    default:
        return QStringLiteral("I/O error %1").arg(errorCode);
    }
}

namespace system {

// Qt's encoder for named code pages needs ICU; the system's own converter does not. A character
// the code page lacks becomes «?», not a look-alike («≤» is no «=»).
QByteArray toWindows1251(const QString &given)
{
    if (given.isEmpty())
        return QByteArray();
    // A character beyond the first plane is one «?», whatever the converter makes of its halves.
    QString text = given;
    for (qsizetype at = 0; at + 1 < text.size(); ++at) {
        if (text.at(at).isHighSurrogate() && text.at(at + 1).isLowSurrogate())
            text.replace(at, 2, QChar(u'?'));
    }
    const auto *wide = reinterpret_cast<const wchar_t *>(text.utf16());
    const int length = int(text.size());
    constexpr DWORD flags = WC_NO_BEST_FIT_CHARS;
    const char unknown[] = "?";
    const int size = ::WideCharToMultiByte(1251, flags, wide, length, nullptr, 0, unknown, nullptr);
    QByteArray bytes(size, Qt::Uninitialized);
    ::WideCharToMultiByte(1251, flags, wide, length, bytes.data(), size, unknown, nullptr);
    return bytes;
}

namespace {

std::wstring nativePath(const QString &path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}

// Opening the target as the writer would, without touching it, gives the system's own reason
// why it cannot be replaced: a read-only file, a folder, a missing folder on the way.
int refusalOfTarget(const std::wstring &target)
{
    // A file marked read-only is refused as Windows refuses to open it for writing, also where
    // the file system would let an administrator through.
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
        !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return ERROR_ACCESS_DENIED;
    const HANDLE probe = ::CreateFileW(target.c_str(), GENERIC_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (probe == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND ? 0 : int(error);
    }
    ::CloseHandle(probe);
    return 0;
}

HANDLE createTemporary(const std::wstring &target, std::wstring *temporary)
{
    const size_t slash = target.find_last_of(L"\\/");
    const size_t nameStart = slash == std::wstring::npos ? 0 : slash + 1;
    const std::wstring stem = target.substr(0, nameStart) + L'.' + target.substr(nameStart) + L'.';
    for (int attempt = 0; attempt < 100; ++attempt) {
        *temporary =
            stem + QString::number(QRandomGenerator::global()->generate64(), 36).toStdWString();
        const HANDLE file = ::CreateFileW(temporary->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS)
            return file;
    }
    return INVALID_HANDLE_VALUE;
}

int writeAll(HANDLE file, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        DWORD written = 0;
        const DWORD chunk = DWORD(qMin<qsizetype>(left, 1 << 20));
        if (!::WriteFile(file, data, chunk, &written, nullptr))
            return int(::GetLastError());
        data += written;
        left -= written;
    }
    return ::FlushFileBuffers(file) ? 0 : int(::GetLastError());
}

} // namespace

int replaceAtomically(const QByteArray &bytes, const QString &path)
{
    const std::wstring target = nativePath(path);
    if (const int refusal = refusalOfTarget(target))
        return refusal;

    std::wstring temporary;
    const HANDLE file = createTemporary(target, &temporary);
    if (file == INVALID_HANDLE_VALUE)
        return int(::GetLastError());

    int failure = writeAll(file, bytes);
    if (!::CloseHandle(file) && failure == 0)
        failure = int(::GetLastError());
    if (failure == 0 && !::MoveFileExW(temporary.c_str(), target.c_str(),
                                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        failure = int(::GetLastError());
    if (failure != 0)
        ::DeleteFileW(temporary.c_str());
    return failure;
}

} // namespace system
} // namespace journalfile
