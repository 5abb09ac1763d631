#include "ratecsv.h"

#include "calcerror.h"
#include "inputnumber.h"
#include "windows1251.h"

#include <QSet>

#include <array>
#include <cmath>

namespace norms::rates {

using namespace Qt::StringLiterals;

namespace {

struct Layout
{
    Kind kind;
    qsizetype columns;
};

std::optional<Layout> layoutOf(const QStringList &header)
{
    QStringList names;
    for (const QString &name : header)
        names.append(name.trimmed().toLower());
    if (names == QStringList{u"item"_s, u"name"_s, u"territory"_s, u"mprks"_s, u"rks"_s})
        return Layout{Kind::Overhead, 5};
    if (names == QStringList{u"item"_s, u"name"_s, u"percent"_s})
        return Layout{Kind::Profit, 3};
    return std::nullopt;
}

// Three digits, a point and one more: «012.0».
bool isItem(const QString &item)
{
    if (item.size() != 5 || item.at(3) != u'.')
        return false;
    for (const qsizetype at : {0, 1, 2, 4})
        if (!item.at(at).isDigit())
            return false;
    return true;
}

std::optional<double> percentOf(const QString &text)
{
    QString point = text.trimmed();
    point.replace(u',', u'.');
    try {
        const double value = double(calc::readInputNumber(point, u'.'));
        if (value >= 0 && std::isfinite(value))
            return value;
    } catch (const calc::CalcError &) {
    }
    return std::nullopt;
}

} // namespace

QString decodeText(const QByteArray &bytes)
{
    const QByteArray body = bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes;
    return fromUtf8OrWindows1251(body);
}

CsvReading readCsv(const QByteArray &bytes, const QString &fileName)
{
    const auto refuse = [&fileName](qsizetype line, const QString &why) {
        return CsvReading{
            std::nullopt,
            QStringLiteral("Файл «%1», строка %2: %3.").arg(fileName, QString::number(line), why)};
    };
    const QStringList lines = decodeText(bytes).split(u'\n');
    std::optional<Layout> layout;
    Edition edition;
    QSet<QString> items;
    for (qsizetype index = 0; index < lines.size(); ++index) {
        QString line = lines.at(index);
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        const QStringList fields = line.split(u';');
        const qsizetype number = index + 1;
        if (!layout) {
            layout = layoutOf(fields);
            if (!layout)
                return refuse(
                    number, QStringLiteral("заголовок должен быть «item;name;territory;mprks;rks» "
                                           "(нормативы НР) или «item;name;percent» (нормативы "
                                           "СП)"));
            edition.kind = layout->kind;
            edition.title = edition.kind == Kind::Overhead
                                ? QStringLiteral("Нормативы накладных расходов по видам работ "
                                                 "(приказ № 812/пр)")
                                : QStringLiteral("Нормативы сметной прибыли по видам работ "
                                                 "(приказ № 774/пр)");
            continue;
        }
        if (fields.size() != layout->columns)
            return refuse(number, QStringLiteral("столбцов %1, а должно быть %2")
                                      .arg(fields.size())
                                      .arg(layout->columns));
        Row row;
        row.item = fields.at(0).trimmed();
        row.name = fields.at(1).trimmed();
        if (!isItem(row.item))
            return refuse(number,
                          QStringLiteral("пункт «%1» не в виде трех цифр, точки и цифры, например "
                                         "«012.0»")
                              .arg(row.item));
        if (items.contains(row.item))
            return refuse(number, QStringLiteral("пункт «%1» уже был выше").arg(row.item));
        if (row.name.isEmpty())
            return refuse(number, QStringLiteral("нет наименования пункта «%1»").arg(row.item));
        std::array<std::optional<double>, 3> percents;
        for (qsizetype column = 2; column < layout->columns; ++column) {
            const QString text = fields.at(column).trimmed();
            percents[std::size_t(column - 2)] = percentOf(text);
            if (!percents[std::size_t(column - 2)])
                return refuse(number, QStringLiteral("«%1» не является процентом (число не "
                                                     "меньше нуля) в пункте «%2»")
                                          .arg(text, row.item));
        }
        row.percent = *percents[0];
        row.mprks = percents[1];
        row.rks = percents[2];
        items.insert(row.item);
        edition.rows.append(row);
    }
    if (edition.rows.isEmpty())
        return refuse(lines.size(), QStringLiteral("в таблице нет ни одного пункта"));
    return {edition, {}};
}

} // namespace norms::rates
