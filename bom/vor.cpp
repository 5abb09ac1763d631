#include "vor.h"

#include <QLocale>
#include <QStringList>

#include <cmath>

namespace bom {

QString firstSectionName()
{
    return QStringLiteral("Раздел 1");
}

namespace {

struct TypeName
{
    ResourceType type;
    const char *text;
};

constexpr TypeName kTypeNames[] = {{ResourceType::Material, "материал"},
                                   {ResourceType::Equipment, "оборудование"},
                                   {ResourceType::Machine, "машина"},
                                   {ResourceType::Transport, "перевозка"},
                                   {ResourceType::Other, "прочее"}};

// Reads + - * / and brackets over numbers with a point; nesting is bounded so that a formula
// read from a file cannot exhaust the stack.
class FormulaReader
{
public:
    explicit FormulaReader(const QString &text) : m_text(text) {}

    std::optional<double> read()
    {
        const std::optional<double> value = sum(0);
        skipSpaces();
        if (!value || m_at != m_text.size() || !std::isfinite(*value))
            return std::nullopt;
        return value;
    }

private:
    static constexpr int kMaxDepth = 100;

    void skipSpaces()
    {
        while (m_at < m_text.size() && m_text.at(m_at).isSpace())
            ++m_at;
    }
    bool take(QChar c)
    {
        skipSpaces();
        if (m_at < m_text.size() && m_text.at(m_at) == c) {
            ++m_at;
            return true;
        }
        return false;
    }
    std::optional<double> sum(int depth)
    {
        std::optional<double> value = product(depth);
        while (value) {
            if (take(u'+')) {
                const std::optional<double> next = product(depth);
                value = next ? std::optional<double>(*value + *next) : std::nullopt;
            } else if (take(u'-')) {
                const std::optional<double> next = product(depth);
                value = next ? std::optional<double>(*value - *next) : std::nullopt;
            } else {
                break;
            }
        }
        return value;
    }
    std::optional<double> product(int depth)
    {
        std::optional<double> value = factor(depth);
        while (value) {
            if (take(u'*')) {
                const std::optional<double> next = factor(depth);
                value = next ? std::optional<double>(*value * *next) : std::nullopt;
            } else if (take(u'/')) {
                const std::optional<double> next = factor(depth);
                if (!next || *next == 0)
                    return std::nullopt;
                value = *value / *next;
            } else {
                break;
            }
        }
        return value;
    }
    std::optional<double> factor(int depth)
    {
        if (depth > kMaxDepth)
            return std::nullopt;
        if (take(u'-')) {
            const std::optional<double> value = factor(depth + 1);
            return value ? std::optional<double>(-*value) : std::nullopt;
        }
        if (take(u'(')) {
            const std::optional<double> value = sum(depth + 1);
            if (!value || !take(u')'))
                return std::nullopt;
            return value;
        }
        skipSpaces();
        const qsizetype start = m_at;
        bool point = false;
        while (m_at < m_text.size()) {
            const QChar c = m_text.at(m_at);
            if (c == u'.' && !point)
                point = true;
            else if (!(c >= u'0' && c <= u'9'))
                break;
            ++m_at;
        }
        const QString number = m_text.mid(start, m_at - start);
        if (number.isEmpty() || number == QStringLiteral("."))
            return std::nullopt;
        bool ok = false;
        const double value = number.toDouble(&ok);
        return ok ? std::optional<double>(value) : std::nullopt;
    }

    const QString &m_text;
    qsizetype m_at = 0;
};

} // namespace

QString resourceTypeText(ResourceType type)
{
    for (const TypeName &name : kTypeNames) {
        if (name.type == type)
            return QString::fromUtf8(name.text);
    }
    return QString::fromUtf8(kTypeNames[0].text);
}

std::optional<ResourceType> resourceTypeOf(const QString &text)
{
    for (const TypeName &name : kTypeNames) {
        if (text == QString::fromUtf8(name.text))
            return name.type;
    }
    return std::nullopt;
}

QList<ResourceType> resourceTypes()
{
    QList<ResourceType> types;
    for (const TypeName &name : kTypeNames)
        types.append(name.type);
    return types;
}

QStringList accessLevels()
{
    return {QStringLiteral("общедоступная информация"),
            QStringLiteral("для служебного пользования"), QStringLiteral("коммерческая тайна")};
}

QString linksText(const QList<Link> &links)
{
    QStringList parts;
    for (const Link &link : links) {
        QString part =
            QStringLiteral("док. %1, с. %2").arg(QString::number(link.documentId), link.pages);
        if (!link.description.isEmpty())
            part += QStringLiteral(" (%1)").arg(link.description);
        parts.append(part);
    }
    return parts.join(QStringLiteral("; "));
}

QString formulaNumber(double value)
{
    // The shortest text that reads back as the same double, never with an exponent.
    QString text = QString::number(value, 'g', QLocale::FloatingPointShortest);
    if (!text.contains(u'e'))
        return text;
    text = QString::number(value, 'f', 20);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    return text;
}

std::optional<double> evaluateFormula(const QString &formula)
{
    if (formula.trimmed().isEmpty())
        return std::nullopt;
    return FormulaReader(formula).read();
}

} // namespace bom
