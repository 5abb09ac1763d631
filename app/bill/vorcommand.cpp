#include "vorcommand.h"

#include "billfile.h"
#include "vorfile.h"

#include <QDateTime>
#include <QTextStream>

namespace vorcommand {

QString softName()
{
    return QStringLiteral("Мерилон 3");
}

int exportVor(const QString &billPath, const QString &vorPath, const QString &version,
              QTextStream &out, QTextStream &err)
{
    const billfile::Reading reading = billfile::read(billPath);
    if (!reading.bill) {
        err << reading.failure << Qt::endl;
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
    const vorfile::Reading reading = vorfile::read(vorPath, QDateTime::currentDateTime());
    if (!reading.bill) {
        err << reading.failure << Qt::endl;
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
