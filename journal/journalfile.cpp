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

QString firstUnwritable(const QString &text)
{
    for (qsizetype at = 0; at < text.size();) {
        const qsizetype length = text.at(at).isHighSurrogate() && at + 1 < text.size() &&
                                         text.at(at + 1).isLowSurrogate()
                                     ? 2
                                     : 1;
        const QString character = text.mid(at, length);
        if (character != u"?" && system::toWindows1251(character).contains('?'))
            return character;
        at += length;
    }
    return QString();
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
