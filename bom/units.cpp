#include "units.h"

#include <QHash>

namespace bom {

namespace {

// Spellings without spaces and dots, lower case, to the unit shown.
const QHash<QString, QString> &knownUnits()
{
    static const QHash<QString, QString> units = [] {
        QHash<QString, QString> table;
        const auto add = [&table](const char *shown, std::initializer_list<const char *> keys) {
            for (const char *key : keys)
                table.insert(QString::fromUtf8(key), QString::fromUtf8(shown));
        };
        add("м3", {"м3", "м³", "кубметр", "кубметр(ов)", "кубметров", "кубметра", "кубм"});
        add("м2", {"м2", "м²", "квметр", "квметр(ов)", "квметров", "квметра", "квм"});
        add("м", {"м", "метр", "метр(ов)", "метров"});
        add("кг", {"кг", "килограмм", "килограмм(ов)"});
        add("т", {"т", "тонн", "тонна"});
        add("л", {"л", "литр", "литр(ов)", "литров"});
        add("шт.", {"шт", "штук", "штука"});
        return table;
    }();
    return units;
}

QString unitKey(const QString &unit)
{
    QString key;
    for (const QChar c : unit) {
        if (!c.isSpace() && c != u'.')
            key += c.toLower();
    }
    return key;
}

bool isKnownUnit(const QString &text)
{
    return knownUnits().contains(unitKey(text));
}

} // namespace

QString normalUnit(const QString &unit)
{
    const auto known = knownUnits().constFind(unitKey(unit));
    return known != knownUnits().cend() ? *known : normalName(unit);
}

QString normalName(const QString &name)
{
    return name.simplified();
}

std::optional<double> unitFactor(const QString &from, const QString &to)
{
    const QString a = normalUnit(from);
    const QString b = normalUnit(to);
    if (a == b)
        return 1.0;
    // The pairs a catalogue and a page may differ in: mass and volume, by a thousand.
    const std::pair<const char16_t *, const char16_t *> thousands[] = {{u"т", u"кг"},
                                                                       {u"м3", u"л"}};
    for (const auto &[big, small] : thousands) {
        if (a == QStringView(small) && b == QStringView(big))
            return 0.001;
        if (a == QStringView(big) && b == QStringView(small))
            return 1000.0;
    }
    return std::nullopt;
}

Caption splitCaption(const QString &caption)
{
    QString text = caption.trimmed();
    if (text.endsWith(u'-'))
        text = text.chopped(1).trimmed();
    const qsizetype comma = text.lastIndexOf(u',');
    if (comma >= 0) {
        const QString unit = text.mid(comma + 1).trimmed();
        // "Кладка 1,5 кирпича" holds a decimal comma, not a unit.
        if (!unit.isEmpty() && !unit.front().isDigit())
            return {text.left(comma).trimmed(), unit};
    }
    // "Каменная мелочь. куб. метр": a unit after a full stop, when it is a unit.
    for (qsizetype stop = text.indexOf(QStringLiteral(". ")); stop >= 0;
         stop = text.indexOf(QStringLiteral(". "), stop + 1)) {
        const QString tail = text.mid(stop + 2).trimmed();
        if (isKnownUnit(tail))
            return {text.left(stop).trimmed(), tail};
    }
    return {text, QString()};
}

} // namespace bom
