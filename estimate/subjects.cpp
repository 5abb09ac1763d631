#include "subjects.h"

#include <QFile>
#include <QHash>
#include <QList>
#include <QStringList>

namespace lsr {

namespace {

// The table ships as a resource, subjects.csv: the subjects of the federation as article 65 of
// the Constitution lists them, keyed by the two-digit codes the regional price lists of the
// state pricing system (ФГИС ЦС) and the tax authorities use (77 Москва, 78 Санкт-Петербург,
// 91 Крым, 92 Севастополь, 90, 93–95 the subjects of 2022).
struct Table
{
    QHash<QString, int> codes; // by the folded name
    QHash<int, QString> names;
};

// «Город Москва» and «г.Москва» alike «москва»; a dash of any length, «ё» and case do not count.
QString folded(const QString &name)
{
    QString text = name.toLower().replace(u'ё', u'е');
    for (const QChar dash : {QChar(0x2013), QChar(0x2014), QChar(0x2212)})
        text.replace(dash, u'-');
    text = text.simplified();
    for (const QString &prefix : {QStringLiteral("город "), QStringLiteral("г. "),
                                  QStringLiteral("г."), QStringLiteral("г ")})
        if (text.startsWith(prefix))
            return text.mid(prefix.size()).trimmed();
    return text;
}

Table readTable()
{
    Table table;
    QFile file(QStringLiteral(":/estimate/subjects.csv"));
    if (!file.open(QIODevice::ReadOnly))
        return table;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringList cells = lines.at(i).trimmed().split(u';');
        bool ok = false;
        const int code = cells.value(0).toInt(&ok);
        if (!ok || cells.size() < 2)
            continue;
        table.names.insert(code, cells.at(1));
        table.codes.insert(folded(cells.at(1)), code);
        // «Республика Татарстан (Татарстан)» is found without its bracket too.
        if (const qsizetype bracket = cells.at(1).indexOf(u'('); bracket > 0)
            table.codes.insert(folded(cells.at(1).left(bracket)), code);
    }
    return table;
}

const Table &table()
{
    static const Table read = readTable();
    return read;
}

} // namespace

std::optional<int> subjectCode(const QString &name)
{
    const auto found = table().codes.constFind(folded(name));
    if (found == table().codes.cend())
        return std::nullopt;
    return *found;
}

QString subjectName(int code)
{
    return table().names.value(code);
}

} // namespace lsr
