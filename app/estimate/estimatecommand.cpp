#include "estimatecommand.h"

#include "billfile.h"
#include "estimatecompute.h"
#include "estimatepricing.h"
#include "lsrfile.h"
#include "normdb.h"
#include "sqlite.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace estimatecommand {

namespace {

bool endsWithSuffix(const QString &path, const char *suffix)
{
    return path.endsWith(u'.' + QString::fromLatin1(suffix), Qt::CaseInsensitive);
}

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

int refuse(QTextStream &err, const QString &reason)
{
    err << QStringLiteral("ЛСР не записана: %1").arg(reason) << Qt::endl;
    return 1;
}

} // namespace

int exportLsr(const QString &billPath, const QString &lsrPath, const QString &databasePath,
              const QString &version, QTextStream &out, QTextStream &err)
{
    // The files are easily swapped on a command line; neither replaces the other.
    if (endsWithSuffix(billPath, lsrfile::kSuffix))
        return refuse(err, QStringLiteral("«%1» — файл для экспертизы (.%2), а ЛСР составляется "
                                          "по ведомости (.%3).")
                               .arg(native(billPath), QString::fromLatin1(lsrfile::kSuffix),
                                    QString::fromLatin1(billfile::kSuffix)));
    if (endsWithSuffix(lsrPath, billfile::kSuffix))
        return refuse(err, QStringLiteral("«%1» — имя файла ведомости (.%2), а ЛСР записывается "
                                          "в файл .%3. Файл не изменен.")
                               .arg(native(lsrPath), QString::fromLatin1(billfile::kSuffix),
                                    QString::fromLatin1(lsrfile::kSuffix)));
    const billfile::Reading reading = billfile::read(billPath);
    if (!reading.bill)
        return refuse(err, reading.failure.contains(billPath)
                               ? reading.failure
                               : QStringLiteral("%1: %2").arg(native(billPath), reading.failure));
    // The base is read, never made: an estimate without norms has nothing to price.
    if (!QFileInfo::exists(databasePath))
        return refuse(err, QStringLiteral("базы норм нет (%1). Загрузите нормы и цены региона: "
                                          "--import-norms и --import-prices.")
                               .arg(native(databasePath)));
    norms::NormDatabase::Opened opened = norms::NormDatabase::open(databasePath);
    if (!opened.database)
        return refuse(err, opened.refusal);
    lsr::Estimate estimate;
    try {
        // A bill without an estimate yet is priced as its window would begin one: from the
        // latest list of the base.
        bom::Bill bill = *reading.bill;
        if (!bill.estimate) {
            const QList<norms::StoredPriceList> lists = norms::storedPriceLists(*opened.database);
            bill.estimate = lsr::defaultTerms(
                bill, lists.isEmpty() ? std::nullopt : std::optional(lists.constFirst().title));
        }
        const lsr::Pricing pricing = lsr::loadPricing(*opened.database, bill);
        if (!pricing.failure.isEmpty())
            return refuse(err, pricing.failure);
        estimate = lsr::compute(bill, pricing);
        estimate.head.vorFileName = lsr::vorFileNameOf(billPath);
    } catch (const norms::sql::Failure &failure) {
        return refuse(err, norms::failureText(failure, databasePath));
    }
    if (const QList<lsr::Gap> gaps = lsrfile::check(estimate); !gaps.isEmpty()) {
        err << QStringLiteral("ЛСР не записана: исправьте пробелы (%1).").arg(gaps.size())
            << Qt::endl;
        for (const lsr::Gap &gap : gaps)
            err << QStringLiteral("— %1").arg(gap.text) << Qt::endl;
        return 1;
    }
    lsrfile::Meta meta;
    meta.softVersion = version;
    meta.exported = QDateTime::currentDateTime();
    if (const std::optional<QString> failure = lsrfile::write(estimate, meta, lsrPath)) {
        err << *failure << Qt::endl;
        return 1;
    }
    out << QStringLiteral("ЛСР записана: %1 (позиций: %2, всего %3 руб.)")
               .arg(lsrPath)
               .arg([&estimate] {
                   qsizetype count = 0;
                   for (const lsr::Section &section : estimate.sections)
                       count += section.positions.size();
                   return count;
               }())
               .arg(lsr::moneyFigure(estimate.totals.total))
        << Qt::endl;
    return 0;
}

} // namespace estimatecommand
