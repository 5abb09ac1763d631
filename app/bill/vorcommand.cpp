#include "vorcommand.h"

#include "billfile.h"
#include "vorfile.h"

#include <QDateTime>
#include <QDir>
#include <QTextStream>

namespace vorcommand {

namespace {

bool endsWithSuffix(const QString &path, const char *suffix)
{
    return path.endsWith(u'.' + QString::fromLatin1(suffix), Qt::CaseInsensitive);
}

// A terminal names the file a reason is about, unless the reason names it already.
QString aboutFile(const QString &path, const QString &reason)
{
    return reason.contains(path)
               ? reason
               : QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), reason);
}

} // namespace

QString softName()
{
    return QStringLiteral("Мерилон 3");
}

int exportVor(const QString &billPath, const QString &vorPath, const QString &version,
              QTextStream &out, QTextStream &err)
{
    // The two kinds of file are easily swapped on a command line; neither replaces the other.
    if (endsWithSuffix(vorPath, billfile::kSuffix)) {
        err << QStringLiteral("Ведомость объемов работ не записана: «%1» — имя файла ведомости "
                              "(.%2), а ведомость объемов работ записывается в файл .%3. Файл не "
                              "изменен.")
                   .arg(QDir::toNativeSeparators(vorPath), QString::fromLatin1(billfile::kSuffix),
                        QString::fromLatin1(vorfile::kSuffix))
            << Qt::endl;
        return 1;
    }
    const billfile::Reading reading = billfile::read(billPath);
    if (!reading.bill) {
        err << aboutFile(billPath, reading.failure) << Qt::endl;
        return 1;
    }
    const vorfile::Meta meta{softName(), version, QDateTime::currentDateTime()};
    if (const std::optional<QString> failure = vorfile::write(*reading.bill, meta, vorPath)) {
        err << *failure << Qt::endl;
        return 1;
    }
    out << QStringLiteral("Ведомость объемов работ записана: %1").arg(vorPath) << Qt::endl;
    return 0;
}

int importVor(const QString &vorPath, const QString &billPath, QTextStream &out, QTextStream &err)
{
    if (endsWithSuffix(billPath, vorfile::kSuffix)) {
        err << QStringLiteral("Ведомость не записана: «%1» — имя файла ведомости объемов работ "
                              "(.%2), а ведомость записывается в файл .%3. Файл не изменен.")
                   .arg(QDir::toNativeSeparators(billPath), QString::fromLatin1(vorfile::kSuffix),
                        QString::fromLatin1(billfile::kSuffix))
            << Qt::endl;
        return 1;
    }
    const vorfile::Reading reading = vorfile::read(vorPath, QDateTime::currentDateTime());
    if (!reading.bill) {
        err << aboutFile(vorPath, reading.failure) << Qt::endl;
        return 1;
    }
    if (const std::optional<QString> failure = billfile::write(*reading.bill, billPath)) {
        err << *failure << Qt::endl;
        return 1;
    }
    out << QStringLiteral("Ведомость записана: %1 (записей: %2)")
               .arg(billPath, QString::number(reading.bill->entries.size()))
        << Qt::endl;
    return 0;
}

} // namespace vorcommand
