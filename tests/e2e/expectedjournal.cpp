#include "expectedjournal.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringEncoder>

namespace {

const QString kDate = QStringLiteral("{date}");
const QString kTime = QStringLiteral("{time}");
const QString kStamp = kDate + QStringLiteral(" время сохранения: ") + kTime;

// The Russian regional settings write the short date and the long time so.
const QString kDatePattern = QStringLiteral("(\\d\\d\\.\\d\\d\\.\\d{4})");
const QString kTimePattern = QStringLiteral("(\\d\\d:\\d\\d:\\d\\d)");
const QString kDateTimeFormat = QStringLiteral("dd.MM.yyyy HH:mm:ss");

} // namespace

ExpectedJournal::ExpectedJournal(const QDateTime &runStart)
    : m_runStart(runStart), m_lines{QStringLiteral("Ведеться история расчетов программы "
                                                   "\"Мерилон 3\"")}
{
}

ExpectedJournal &ExpectedJournal::operator<<(const QString &line)
{
    m_lines.append(line);
    return *this;
}

ExpectedJournal &ExpectedJournal::operator<<(const QStringList &lines)
{
    m_lines.append(lines);
    return *this;
}

void ExpectedJournal::saveRequested()
{
    m_lines.append(QStringLiteral("Сохранение по запросу.История расчетов сохранена. Дата ") +
                   kStamp);
}

void ExpectedJournal::saveSucceeded()
{
    m_dayFileLines = m_lines.size();
    m_lines.append(QStringLiteral("Файл создан и сохранен в папке data/") + kDate +
                   QStringLiteral(".txt"));
}

void ExpectedJournal::closeRequested()
{
    m_lines.append(QStringLiteral("Текущая история расчетов сохранена. Дата ") + kStamp);
}

QString ExpectedJournal::dayFile() const
{
    return QStringLiteral("data/") + m_date + QStringLiteral(".txt");
}

QByteArray ExpectedJournal::fileBytes(const QStringList &lines)
{
    QStringEncoder encoder("windows-1251");
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += encoder.encode(line) + "\r\n";
    bytes += "\r\n";
    return encoder.hasError() ? QByteArray() : bytes;
}

QString ExpectedJournal::resolved(qsizetype index, const QString &actual, QString *problem)
{
    const QString &line = m_lines.at(index);
    if (!line.contains(kDate))
        return line;
    // A save line stands in the day file and in the last journal alike, with the same texts.
    if (m_fixed.contains(index))
        return m_fixed.value(index);
    QString pattern = QRegularExpression::escape(line);
    pattern.replace(QRegularExpression::escape(kDate), kDatePattern);
    pattern.replace(QRegularExpression::escape(kTime), kTimePattern);
    const QRegularExpressionMatch match =
        QRegularExpression(QRegularExpression::anchoredPattern(pattern)).match(actual);
    if (!match.hasMatch())
        return line;
    const QString date = match.captured(1);
    if (!m_date.isEmpty() && date != m_date) {
        *problem = QStringLiteral("line %1 dates the save %2, an earlier one %3")
                       .arg(index + 1)
                       .arg(date, m_date);
        return line;
    }
    QString filled = line;
    filled.replace(kDate, date);
    if (line.contains(kTime)) {
        // The clock texts are those of its last tick: not before the start, not in the future.
        const QString time = match.captured(2);
        const QDateTime stamp = QDateTime::fromString(date + u' ' + time, kDateTimeFormat);
        const QDateTime earliest = m_runStart.addMSecs(-m_runStart.time().msec());
        if (!stamp.isValid() || stamp < earliest || stamp > QDateTime::currentDateTime()) {
            *problem = QStringLiteral("line %1 stamps the save %2 %3, outside the run from %4")
                           .arg(index + 1)
                           .arg(date, time, earliest.toString(kDateTimeFormat));
            return line;
        }
        filled.replace(kTime, time);
    }
    m_date = date;
    m_fixed.insert(index, filled);
    return filled;
}

QString ExpectedJournal::mismatch(const QString &path, qsizetype count)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return path + QStringLiteral(" cannot be read: ") + file.errorString();
    const QByteArray bytes = file.readAll();

    QStringDecoder decoder("windows-1251");
    QString text = decoder.decode(bytes);
    if (!text.endsWith(QStringLiteral("\r\n\r\n")))
        return path + QStringLiteral(" does not end with an empty line after CR LF");
    text.chop(4);
    const QStringList actual = text.split(QStringLiteral("\r\n"));

    const qsizetype wanted = count < 0 ? m_lines.size() : count;
    QStringList expected;
    QString problem;
    for (qsizetype i = 0; i < wanted && problem.isEmpty(); ++i)
        expected.append(resolved(i, actual.value(i), &problem));
    if (!problem.isEmpty())
        return path + QStringLiteral(": ") + problem;
    for (qsizetype i = 0; i < std::max(expected.size(), actual.size()); ++i) {
        const QString want = i < expected.size() ? expected.at(i) : QStringLiteral("(end)");
        const QString found = i < actual.size() ? actual.at(i) : QStringLiteral("(end)");
        if (want != found)
            return path + QStringLiteral(", line %1:\n  expected «%2»\n  found    «%3»")
                              .arg(i + 1)
                              .arg(want, found);
    }
    if (bytes != fileBytes(expected))
        return path + QStringLiteral(" holds the expected lines in other bytes");
    return {};
}
