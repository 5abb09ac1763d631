#include "pricelist.h"

#include "calcerror.h"
#include "inputnumber.h"

#include <QRegularExpression>

#include <algorithm>

namespace norms {

namespace {

// The title rows are a score or so; a sheet without the header this far down is none.
constexpr qint64 kTitleRows = 200;

QString folded(const QString &text)
{
    return text.simplified().toLower().replace(u'ё', u'е');
}

// The first cell with text in it from column from on, and its column; -1 when none.
int nextFilled(const QStringList &cells, int from)
{
    for (int column = from; column < cells.size(); ++column)
        if (!cells.at(column).trimmed().isEmpty())
            return column;
    return -1;
}

// «…за 2 квартал 2026 года», «II квартал 2026 г.», «2 кв. 2026».
std::optional<std::pair<int, int>> periodIn(const QString &text)
{
    static const QRegularExpression period(
        QStringLiteral(
            "(?:^|[^\\w])([1-4]|IV|I{1,3})\\s*(?:-?й\\s+)?(?:квартал\\w*|кв\\.)\\s*(\\d{4})"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);
    const QRegularExpressionMatch match = period.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const QString quarter = match.captured(1).toUpper();
    const int number = quarter == u"IV"    ? 4
                       : quarter == u"III" ? 3
                       : quarter == u"II"  ? 2
                       : quarter == u"I"   ? 1
                                           : quarter.toInt();
    return std::pair{number, match.captured(2).toInt()};
}

bool isLabourCode(const QString &code)
{
    return code.size() > 2 && code.at(0) >= u'1' && code.at(0) <= u'5' && code.at(1) == u'-' &&
           code.at(2).isDigit();
}

QString cellAt(const QStringList &cells, int column)
{
    return column >= 0 && column < cells.size() ? cells.at(column) : QString();
}

} // namespace

QString priceListName(const PriceListTitle &title)
{
    const auto place = [](const QString &text) {
        QString name = text.simplified();
        if (name.startsWith(QStringLiteral("г. ")))
            name.remove(0, 3);
        return name;
    };
    QStringList parts{place(title.subject)};
    const QString zone = place(title.zone);
    if (!zone.isEmpty() && zone.compare(parts.front(), Qt::CaseInsensitive) != 0 &&
        !folded(zone).contains(QStringLiteral("базов")))
        parts.append(zone);
    parts.append(QStringLiteral("%1 кв. %2").arg(title.quarter).arg(title.year));
    return parts.join(QStringLiteral(", "));
}

Figure readFigure(QStringView text)
{
    QString digits;
    digits.reserve(text.size());
    for (const QChar c : text)
        if (c != u' ' && c != QChar(0x00A0) && c != QChar(0x202F) && c != QChar(0x2009) &&
            c != u'\t')
            digits.append(c);
    if (digits.isEmpty() || digits == u"-" || digits == u"–" || digits == u"—")
        return {};
    try {
        const QChar separator = digits.contains(u'.') ? u'.' : u',';
        return {Figure::Kind::Number, double(calc::readInputNumber(digits, separator))};
    } catch (const calc::CalcError &) {
        return {Figure::Kind::Bad, 0};
    }
}

QString withoutBasePrefix(QStringView code)
{
    const QStringView trimmed = code.trimmed();
    const qsizetype dash = trimmed.indexOf(u'-');
    if (dash > 0 &&
        std::all_of(trimmed.begin(), trimmed.begin() + dash, [](QChar c) { return c.isLetter(); }))
        return trimmed.mid(dash + 1).trimmed().toString();
    return trimmed.toString();
}

bool PriceListParser::row(qint64 number, const QStringList &cells)
{
    if (m_sink.stopRequested()) {
        m_stopped = true;
        return false;
    }
    switch (m_stage) {
    case Stage::Title:
        return readTitle(number, cells);
    case Stage::Numbers:
        m_stage = Stage::Data;
        // «1», «2», … under the header: no resource.
        if (cellAt(cells, m_code).trimmed() == QString::number(m_code + 1) ||
            cellAt(cells, m_code).trimmed() == u"1")
            return true;
        readResource(cells);
        return true;
    case Stage::Data:
        readResource(cells);
        return true;
    case Stage::Refused:
        break;
    }
    return false;
}

bool PriceListParser::readTitle(qint64 number, const QStringList &cells)
{
    for (int column = 0; column < cells.size(); ++column) {
        const QString text = folded(cells.at(column));
        if (text.startsWith(QStringLiteral("код ресурса")))
            return readHeader(number, cells);
        if (text.startsWith(QStringLiteral("наименование субъекта")) ||
            text.startsWith(QStringLiteral("субъект российской федерации"))) {
            const int value = nextFilled(cells, column + 1);
            if (value >= 0)
                m_title.subject = cells.at(value).simplified();
        } else if (text.startsWith(QStringLiteral("наименование зоны")) ||
                   text.startsWith(QStringLiteral("ценовая зона")) ||
                   text.startsWith(QStringLiteral("наименование ценовой зоны"))) {
            const int value = nextFilled(cells, column + 1);
            if (value >= 0)
                m_title.zone = cells.at(value).simplified();
        } else if (m_title.year == 0) {
            if (const auto period = periodIn(cells.at(column))) {
                m_title.quarter = period->first;
                m_title.year = period->second;
            }
        }
    }
    if (number >= kTitleRows) {
        m_stage = Stage::Refused;
        return false;
    }
    return true;
}

bool PriceListParser::readHeader(qint64 number, const QStringList &cells)
{
    m_stage = Stage::Refused;
    for (int column = 0; column < cells.size(); ++column) {
        const QString text = folded(cells.at(column));
        int *role = text.startsWith(QStringLiteral("код ресурса"))         ? &m_code
                    : text.startsWith(QStringLiteral("единица измерения")) ? &m_unit
                    : text.startsWith(QStringLiteral("индекс"))            ? &m_index
                    : !text.startsWith(QStringLiteral("сметная цена"))     ? nullptr
                    : text.contains(QStringLiteral("текущ"))               ? &m_current
                                                                           : &m_base;
        if (role && *role < 0)
            *role = column;
    }
    const std::pair<int, QString> needed[] = {
        {m_unit, QStringLiteral("Единица измерения")},
        {m_base, QStringLiteral("Сметная цена … (базовый уровень)")},
        {m_current, QStringLiteral("Сметная цена в текущем уровне")},
        {m_index, QStringLiteral("Индекс изменения …")},
    };
    for (const auto &[column, header] : needed) {
        if (column < 0) {
            m_refusal = QStringLiteral("Файл «%1» — не сплит-форма: в строке заголовка %2 нет "
                                       "столбца «%3».")
                            .arg(m_file, QString::number(number), header);
            return false;
        }
    }
    const QString unstated =
        m_title.subject.isEmpty()
            ? QStringLiteral("субъект Российской Федерации (строка «Наименование субъекта "
                             "Российской Федерации»)")
        : m_title.zone.isEmpty() ? QStringLiteral("ценовую зону (строка «Наименование зоны»)")
        : m_title.year == 0 ? QStringLiteral("квартал (заголовок «… за N квартал ГГГГ года»)")
                            : QString();
    if (!unstated.isEmpty()) {
        m_refusal = QStringLiteral("Файл «%1» не указывает %2 над таблицей (строка заголовка %3); "
                                   "цены, не знающие своего региона и квартала, не загружены.")
                        .arg(m_file, unstated, QString::number(number));
        return false;
    }
    m_stage = Stage::Numbers;
    m_sink.title(m_title);
    return true;
}

void PriceListParser::skip(const QString &reason)
{
    for (auto &[known, count] : m_counts.skipped) {
        if (known == reason) {
            ++count;
            return;
        }
    }
    m_counts.skipped.append({reason, 1});
}

void PriceListParser::readResource(const QStringList &cells)
{
    if (nextFilled(cells, 0) < 0)
        return;
    ++m_counts.read;
    ResourcePriceRow row;
    row.code = withoutBasePrefix(cellAt(cells, m_code));
    if (row.code.isEmpty()) {
        skip(QStringLiteral("без кода (заголовки групп)"));
        return;
    }
    row.unit = cellAt(cells, m_unit).simplified();
    const Figure current = readFigure(cellAt(cells, m_current));
    if (current.kind == Figure::Kind::Number) {
        row.price = current.value;
        const bool labour = isLabourCode(row.code) && row.unit.startsWith(QStringLiteral("чел"));
        row.kind = labour ? PriceKind::Labour : PriceKind::Current;
        ++(labour ? m_counts.labour : m_counts.current);
        m_sink.price(row);
        return;
    }
    const Figure base = readFigure(cellAt(cells, m_base));
    const Figure index = readFigure(cellAt(cells, m_index));
    if (current.kind == Figure::Kind::Bad || base.kind == Figure::Kind::Bad ||
        index.kind == Figure::Kind::Bad) {
        skip(QStringLiteral("число не читается"));
        return;
    }
    if (base.kind == Figure::Kind::None || index.kind == Figure::Kind::None) {
        skip(QStringLiteral("нет цены и индекса"));
        return;
    }
    row.price = base.value * index.value;
    row.kind = PriceKind::Indexed;
    row.basePrice = base.value;
    row.index = index.value;
    ++m_counts.indexed;
    m_sink.price(row);
}

QString PriceListParser::refusal() const
{
    if (!m_refusal.isEmpty() || (m_stage != Stage::Title && m_stage != Stage::Refused))
        return m_refusal;
    return QStringLiteral("Файл «%1» — не сплит-форма: в нем нет строки заголовка с ячейкой «Код "
                          "ресурса, услуги».")
        .arg(m_file);
}

} // namespace norms
