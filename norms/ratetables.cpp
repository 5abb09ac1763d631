#include "ratetables.h"

#include "ratecsv.h"
#include "totals.h"

#include <QFile>

namespace norms::rates {

namespace {

// The orders' numbers as the references write them: «Пр/812-…», «Пр/774-…».
QStringView orderPrefix(Kind kind)
{
    return kind == Kind::Overhead ? u"Пр/812-" : u"Пр/774-";
}

Edition readShipped(Kind kind)
{
    const bool overhead = kind == Kind::Overhead;
    const QString path = overhead ? QStringLiteral(":/norms/rates/nr-812.csv")
                                  : QStringLiteral(":/norms/rates/sp-774.csv");
    QFile file(path);
    const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    Edition edition = readCsv(bytes, path).edition.value_or(Edition{});
    edition.kind = kind;
    edition.title =
        overhead ? QStringLiteral("Нормативы накладных расходов по видам работ: приказ Минстроя "
                                  "России № 812/пр в ред. приказов от 02.09.2021 № 636/пр и от "
                                  "26.07.2022 № 611/пр")
                 : QStringLiteral("Нормативы сметной прибыли по видам работ: приказ Минстроя "
                                  "России № 774/пр в ред. приказа от 22.04.2022 № 317/пр");
    edition.date = overhead ? QStringLiteral("12.09.2022") : QStringLiteral("22.04.2022");
    return edition;
}

QString percentText(double percent)
{
    return bom::percentText(percent) + QStringLiteral(" %");
}

// One side of a reference: «НР 109 % (Пр/812-012.0 Кровли)», or why it is not known.
QString sideText(const QString &reference, const Edition &edition, bool named)
{
    const QString what = kindAbbreviation(edition.kind);
    const Row *row = edition.row(itemOf(reference, edition.kind));
    if (!row)
        return QStringLiteral("%1 — нет в таблице %2").arg(reference, what);
    const QString percent = what + u' ' + percentText(row->percent);
    return named ? percent + QStringLiteral(" (%1 %2)").arg(reference, row->name) : percent;
}

} // namespace

QString kindAbbreviation(Kind kind)
{
    return kind == Kind::Overhead ? QStringLiteral("НР") : QStringLiteral("СП");
}

const Row *Edition::row(QStringView item) const
{
    if (item.isEmpty())
        return nullptr;
    for (const Row &known : rows)
        if (known.item == item)
            return &known;
    return nullptr;
}

QString Edition::description() const
{
    if (shipped())
        return QStringLiteral("%1 (редакция от %2)").arg(title, date);
    return QStringLiteral("%1: загружена из файла «%2» %3").arg(title, sourceFile, date);
}

const Edition &shipped(Kind kind)
{
    static const Edition overhead = readShipped(Kind::Overhead);
    static const Edition profit = readShipped(Kind::Profit);
    return kind == Kind::Overhead ? overhead : profit;
}

QString itemOf(QStringView reference, Kind kind)
{
    reference = reference.trimmed();
    const QStringView prefix = orderPrefix(kind);
    if (!reference.startsWith(prefix, Qt::CaseInsensitive))
        return {};
    return reference.mid(prefix.size()).toString();
}

QString reasonText(const Reason &reason, const Edition &overhead, const Edition &profit)
{
    QStringList parts;
    if (!reason.nr.isEmpty())
        parts.append(sideText(reason.nr, overhead, true));
    if (!reason.sp.isEmpty()) {
        // The profit item is named only where it is not the overhead one.
        const QString nrItem = itemOf(reason.nr, Kind::Overhead);
        const bool same =
            !nrItem.isEmpty() && overhead.row(nrItem) && nrItem == itemOf(reason.sp, Kind::Profit);
        parts.append(sideText(reason.sp, profit, !same));
    }
    return parts.join(QStringLiteral(", "));
}

QString reasonsText(const QList<Reason> &reasons, const Edition &overhead, const Edition &profit)
{
    QStringList texts;
    for (const Reason &reason : reasons)
        texts.append(reasonText(reason, overhead, profit));
    return texts.isEmpty()
               ? QString()
               : QStringLiteral("Нормативы НР и СП: ") + texts.join(QStringLiteral("; "));
}

} // namespace norms::rates
