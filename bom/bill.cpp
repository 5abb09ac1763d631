#include "bill.h"

#include "calcerror.h"
#include "inputnumber.h"
#include "totals.h"
#include "units.h"

#include <cmath>

namespace bom {

Material materialFromCaption(const QString &caption, std::optional<double> quantity)
{
    const Caption parts = splitCaption(caption);
    return material(parts.name, parts.unit, quantity);
}

Material material(const QString &name, const QString &unit, std::optional<double> quantity,
                  MaterialKind kind, const QString &partOf, const QString &source,
                  const QString &code)
{
    return {{normalName(name), normalUnit(unit), code.trimmed()},
            quantity,
            kind,
            normalName(partOf),
            source,
            QString(),
            {},
            std::nullopt,
            QString()};
}

MaterialKind kindOf(calc::FigureKind kind)
{
    switch (kind) {
    case calc::FigureKind::WorkVolume:
        return MaterialKind::WorkVolume;
    case calc::FigureKind::Composite:
        return MaterialKind::Composite;
    case calc::FigureKind::Material:
        break;
    }
    return MaterialKind::Buy;
}

bool sameResults(const Entry &a, const Entry &b)
{
    return a.work == b.work && a.inputs == b.inputs && a.materials == b.materials &&
           a.manual == b.manual && a.normCode == b.normCode && a.normVersion == b.normVersion;
}

QString manualWork()
{
    return QStringLiteral("Материал, добавленный вручную");
}

QString manualSource()
{
    return QStringLiteral("вручную");
}

std::optional<Refusal> refusalOfReserve(double percent)
{
    if (!std::isfinite(percent))
        return Refusal{QStringLiteral("Запас — это число процентов, например 5 или 7,5")};
    if (percent < 0)
        return Refusal{QStringLiteral("Запас не может быть отрицательным")};
    if (percent > kMaxReservePercent)
        return Refusal{QStringLiteral("Запас больше 1000 % — проверьте число")};
    return std::nullopt;
}

std::optional<Refusal> refusalOfPackSize(double size)
{
    if (!std::isfinite(size))
        return Refusal{QStringLiteral("Фасовка — это число, например 2,5")};
    if (size <= 0)
        return Refusal{QStringLiteral("Фасовка должна быть больше нуля; пустая клетка — "
                                      "продается поштучно или на вес")};
    return std::nullopt;
}

std::optional<Refusal> refusalOfPrice(qint64 kopecks)
{
    if (kopecks < 0)
        return Refusal{QStringLiteral("Цена не может быть отрицательной")};
    if (kopecks > kMaxKopecks)
        return Refusal{QStringLiteral("Цена слишком велика")};
    return std::nullopt;
}

namespace {

std::optional<calc::Extended> readNumber(const QString &text)
{
    try {
        return calc::readInputNumber(text, calc::decimalSeparator());
    } catch (const calc::CalcError &) {
        return std::nullopt;
    }
}

} // namespace

ReserveEdit readReserve(const QString &text)
{
    if (text.trimmed().isEmpty())
        return {};
    const std::optional<calc::Extended> number = readNumber(text);
    if (!number)
        return {0, Refusal{QStringLiteral("Запас — это число процентов, например 5 или 7,5")}};
    const double percent = double(*number);
    if (std::optional<Refusal> refusal = refusalOfReserve(percent))
        return {0, refusal};
    return {percent, std::nullopt};
}

IndexEdit readPriceIndex(const QString &text)
{
    if (text.trimmed().isEmpty())
        return {};
    const Refusal refusal{
        QStringLiteral("Индекс — число больше нуля с десятичной запятой, например 9,12")};
    const std::optional<calc::Extended> number = readNumber(text);
    if (!number || !std::isfinite(double(*number)) || !(*number > 0))
        return {std::nullopt, refusal};
    // The reader holds more than a double: 1E-400 is above zero there and nothing here.
    if (!(double(*number) > 0))
        return {std::nullopt, Refusal{QStringLiteral("Индекс слишком мал: цены по нему "
                                                     "округляются до 0,00")}};
    return {double(*number), std::nullopt};
}

LinkEdit linkOf(const MaterialKey &material, const QString &code, const QString &resourceName,
                const QString &resourceUnit)
{
    const QString unit = normalUnit(resourceUnit);
    const std::optional<double> factor = unitFactor(material.unit, unit);
    if (!factor) {
        const QString materialUnit =
            material.unit.isEmpty() ? QStringLiteral("без единицы") : material.unit;
        return {std::nullopt,
                Refusal{QStringLiteral("Единица ресурса «%1» не совпадает с единицей материала "
                                       "«%2» и не пересчитывается в нее: связать можно ресурс в "
                                       "той же единице, т и кг, м3 и л")
                            .arg(unit, materialUnit)}};
    }
    return {ResourceLink{code.trimmed(), normalName(resourceName), unit, *factor}, std::nullopt};
}

std::optional<qint64> cataloguePrice(double baseCost, double factor, double index)
{
    const double kopecks = std::round(baseCost * 100);
    if (!std::isfinite(kopecks) || kopecks < 0 || kopecks > double(kMaxKopecks))
        return std::nullopt;
    return sumFor(factor * index, qint64(kopecks));
}

std::optional<Refusal> refusalOfIndexedPrice(const QString &name, double baseCost, double factor,
                                             double index)
{
    const std::optional<qint64> kopecks = cataloguePrice(baseCost, factor, index);
    if (!kopecks)
        return Refusal{QStringLiteral("Индекс слишком велик: цена «%1» по нему больше, чем может "
                                      "быть в ведомости")
                           .arg(name)};
    if (*kopecks == 0 && cataloguePrice(baseCost, factor, 1).value_or(0) > 0)
        return Refusal{
            QStringLiteral("Индекс слишком мал: цена «%1» по нему округляется до 0,00").arg(name)};
    return std::nullopt;
}

PackSizeEdit readPackSize(const QString &text)
{
    if (text.trimmed().isEmpty())
        return {};
    const std::optional<calc::Extended> number = readNumber(text);
    if (!number)
        return {std::nullopt, Refusal{QStringLiteral("Фасовка — это число, например 2,5")}};
    const double size = double(*number);
    if (std::optional<Refusal> refusal = refusalOfPackSize(size))
        return {std::nullopt, refusal};
    return {size, std::nullopt};
}

PriceEdit readPrice(const QString &text)
{
    if (text.trimmed().isEmpty())
        return {};
    const std::optional<calc::Extended> number = readNumber(text);
    if (!number)
        return {std::nullopt,
                Refusal{QStringLiteral("Цена — это число рублей, например 350 или 12,50")}};
    if (*number < 0)
        return {std::nullopt, Refusal{QStringLiteral("Цена не может быть отрицательной")}};
    const calc::Extended kopecks = *number * 100;
    if (!(kopecks <= calc::Extended(kMaxKopecks)))
        return {std::nullopt, Refusal{QStringLiteral("Цена слишком велика")}};
    const calc::Extended whole = std::round(kopecks);
    // The reader works in binary: 12,34 × 100 lands a hair away from 1234.
    if (std::fabs(kopecks - whole) > 1e-6L)
        return {std::nullopt,
                Refusal{QStringLiteral("Цена указывается с точностью до копейки: не больше двух "
                                       "знаков после запятой")}};
    return {qint64(whole), std::nullopt};
}

CountEdit readCount(const QString &text)
{
    const Refusal refusal{
        QStringLiteral("Количество работ — целое число от 1 до %1").arg(kMaxEntryCount)};
    const std::optional<calc::Extended> number = readNumber(text);
    if (!number || *number != std::floor(*number) || *number < 1 || *number > kMaxEntryCount)
        return {1, refusal};
    return {int(*number), std::nullopt};
}

QuantityEdit readQuantity(const QString &text)
{
    const std::optional<calc::Extended> number = readNumber(text);
    if (!number || !std::isfinite(double(*number)))
        return {0, Refusal{QStringLiteral("Количество — это число, например 12 или 0,5")}};
    if (*number < 0)
        return {0, Refusal{QStringLiteral("Количество не может быть отрицательным")}};
    return {double(*number), std::nullopt};
}

} // namespace bom
