#include "estimateoutputs.h"

#include "lsrfile.h"

#include <QCoreApplication>
#include <QDateTime>

namespace estimateoutputs {

namespace {
const QString kNotYet = QStringLiteral("Эта запись ЛСР еще не готова");
}

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

std::optional<QString> writePdf(const lsr::Estimate &, const QString &)
{
    return kNotYet;
}

void print(QPrinter *, const lsr::Estimate &) {}

std::optional<QString> writeXlsx(const lsr::Estimate &, const QString &)
{
    return kNotYet;
}

Reading readGge(const QString &path)
{
    const lsrfile::Reading reading = lsrfile::read(path);
    return {reading.estimate, reading.failure};
}

} // namespace estimateoutputs
