#include "billcsv.h"

namespace billcsv {

namespace {

const QString kDash = QStringLiteral("—");

QString field(const QString &text)
{
    const bool quoted = text.contains(u';') || text.contains(u'"') || text.contains(u'\n') ||
                        text.contains(u'\r') || text != text.trimmed();
    if (!quoted)
        return text;
    QString escaped = text;
    escaped.replace(u'"', QStringLiteral("\"\""));
    return u'"' + escaped + u'"';
}

void appendLine(QString &out, const QStringList &cells)
{
    for (qsizetype i = 0; i < cells.size(); ++i) {
        if (i > 0)
            out += u';';
        out += field(cells.at(i));
    }
    out += QStringLiteral("\r\n");
}

} // namespace

QString addedText(const QDateTime &added)
{
    return added.toLocalTime().toString(QStringLiteral("dd.MM.yyyy hh:mm"));
}

QStringList totalsHeadings()
{
    return {
        QStringLiteral("Материал"), QStringLiteral("Ед."),        QStringLiteral("Количество"),
        QStringLiteral("Запас, %"), QStringLiteral("С запасом"),  QStringLiteral("Фасовка"),
        QStringLiteral("Упаковок"), QStringLiteral("Цена, руб."), QStringLiteral("Сумма, руб.")};
}

QStringList entriesHeadings()
{
    return {QStringLiteral("Добавлено"), QStringLiteral("Работа"), QStringLiteral("Условия"),
            QStringLiteral("Материал"),  QStringLiteral("Ед."),    QStringLiteral("Количество")};
}

QStringList totalsCells(const bom::Total &row)
{
    const bom::Terms &terms = row.terms;
    const auto optionalQuantity = [](const std::optional<double> &value) {
        return value ? bom::quantityText(*value) : kDash;
    };
    return {row.key.name,
            row.key.unit,
            row.counted > 0 ? bom::quantityText(row.quantity) : kDash,
            bom::percentText(terms.reservePercent),
            optionalQuantity(row.withReserve),
            terms.packSize ? bom::quantityText(*terms.packSize) : QString(),
            terms.packSize ? optionalQuantity(row.packs) : QString(),
            terms.priceKopecks ? bom::moneyText(*terms.priceKopecks) : QString(),
            row.sumKopecks ? bom::moneyText(*row.sumKopecks) : kDash};
}

QByteArray encode(const bom::Bill &bill, const bom::Totals &totals)
{
    QString out;
    appendLine(out, totalsHeadings());
    for (const bom::Total &row : totals.rows)
        appendLine(out, totalsCells(row));
    QStringList grand(totalsHeadings().size());
    grand.front() = QStringLiteral("Итого");
    grand.back() = totals.overflow ? kDash : bom::moneyText(totals.grandKopecks);
    appendLine(out, grand);

    out += QStringLiteral("\r\n");
    appendLine(out, entriesHeadings());
    for (const bom::Entry &entry : bill.entries) {
        for (const bom::Material &material : entry.materials)
            appendLine(out, {addedText(entry.added), entry.work, entry.inputs, material.key.name,
                             material.key.unit,
                             material.quantity ? bom::quantityText(*material.quantity) : kDash});
    }
    return QByteArray("\xEF\xBB\xBF") + out.toUtf8();
}

} // namespace billcsv
