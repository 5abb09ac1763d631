#include "journalfile.h"

#include "journalfile_system.h"

namespace journalfile {

QByteArray encode(const QStringList &lines)
{
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
    return system::toWindows1251(text);
}

std::optional<QString> write(const QStringList &lines, const QString &path)
{
    return writeBytes(encode(lines), path);
}

std::optional<QString> writeBytes(const QByteArray &bytes, const QString &path)
{
    if (const int failure = system::replaceAtomically(bytes, path))
        return errorMessage(failure);
    return std::nullopt;
}

} // namespace journalfile
