#include "pricelistbench.h"

#include "splitform.h"
#include "tablerows.h"

#include <QElapsedTimer>
#include <QFile>

namespace pricelistbench {

QString fullSizeSplitForm(const QString &folder)
{
    const QString path = folder + QStringLiteral("/Сплит-форма Москва 2 кв 2026.xlsx");
    if (QFile::exists(path))
        return path;
    // Of every seven resources, four priced by the group's index, two given a current price,
    // one an hourly rate; a group heading every fifty.
    splitform::Form form;
    form.resources.reserve(290000);
    for (int n = 0; form.resources.size() < 280000; ++n) {
        if (n % 50 == 0)
            form.resources.append({QStringLiteral("Группа ресурсов %1").arg(n / 50)});
        const QString code = QStringLiteral("ФСБЦ-%1.%2.%3.%4-%5")
                                 .arg(n % 70 + 1, 2, 10, QLatin1Char('0'))
                                 .arg(n % 9 + 1)
                                 .arg(n % 17 + 1, 2, 10, QLatin1Char('0'))
                                 .arg(n % 13 + 1, 2, 10, QLatin1Char('0'))
                                 .arg(n, 6, 10, QLatin1Char('0'));
        const QString base =
            QStringLiteral("%1,%2").arg(100 + n % 90000).arg(n % 100, 2, 10, QLatin1Char('0'));
        const QString name = QStringLiteral("Ресурс строительный № %1, марка М%2, фракция %3 мм")
                                 .arg(n)
                                 .arg(n % 500)
                                 .arg(n % 40);
        switch (n % 7) {
        case 0:
        case 1:
            form.resources.append({code, name, QStringLiteral("м3"), base, base,
                                   QStringLiteral("01.7.15"), QStringLiteral("Группа"),
                                   QStringLiteral("%1.%2").arg(n % 5000 + 10).arg(n % 100),
                                   QStringLiteral("-")});
            break;
        case 2:
            form.resources.append({QStringLiteral("4-100-%1").arg(n, 6, 10, QLatin1Char('0')),
                                   QStringLiteral("Средний разряд машинистов"),
                                   QStringLiteral("чел.-ч"), QString(), QString(), QString(),
                                   QString(), QStringLiteral("982,04"), QString()});
            break;
        default:
            form.resources.append({code, name, QStringLiteral("т"), base, base,
                                   QStringLiteral("01.7.15"), QStringLiteral("Группа"),
                                   QStringLiteral("-"), QStringLiteral("1,%1").arg(n % 1000)});
            break;
        }
    }
    return splitform::writeXlsx(path, form) ? path : QString();
}

namespace {

class CountingSink : public norms::table::RowSink
{
public:
    qint64 cells = 0;
    bool row(qint64, const QStringList &row) override
    {
        for (const QString &cell : row)
            cells += cell.size();
        return true;
    }
};

} // namespace

double bareReadMilliseconds(const QString &file)
{
    QElapsedTimer timer;
    timer.start();
    CountingSink sink;
    const norms::table::ReadResult read = norms::table::readXlsx(file, sink);
    if (read.outcome != norms::table::ReadResult::Outcome::Read || sink.cells == 0)
        return -1;
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace pricelistbench
