#include "estimateoutputs.h"

#include "estimateprint.h"
#include "lsrfile.h"
#include "lsrxlsx.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QPrinter>

namespace estimateoutputs {

namespace {

// When the estimate was printed, for the foot of each page.
std::pair<QString, QString> now()
{
    const QDateTime moment = QDateTime::currentDateTime();
    return {moment.toString(QStringLiteral("dd.MM.yyyy")),
            moment.toString(QStringLiteral("hh:mm:ss"))};
}

} // namespace

QList<lsr::Gap> check(const lsr::Estimate &estimate)
{
    return lsrfile::check(estimate);
}

std::optional<QString> writeGge(const lsr::Estimate &estimate, const QString &path)
{
    lsrfile::Meta meta;
    meta.softVersion = QCoreApplication::applicationVersion();
    meta.exported = QDateTime::currentDateTime();
    return lsrfile::write(estimate, meta, path);
}

std::optional<QString> writePdf(const lsr::Estimate &estimate, const QString &path)
{
    const auto [date, time] = now();
    return estimateprint::writePdf(path, estimate, date, time);
}

void print(QPrinter *printer, const lsr::Estimate &estimate)
{
    const auto [date, time] = now();
    estimateprint::print(printer, estimate, date, time);
}

std::optional<QString> writeXlsx(const lsr::Estimate &estimate, const QString &path)
{
    return lsrxlsx::write(estimate, path);
}

Reading readGge(const QString &path)
{
    const lsrfile::Reading reading = lsrfile::read(path);
    return {reading.estimate, reading.failure};
}

} // namespace estimateoutputs
