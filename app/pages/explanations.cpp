#include "explanations.h"

#include "gates.h"
#include "masonry.h"
#include "painting.h"
#include "resulttext.h"
#include "tiles.h"
#include "underlay.h"

namespace explanations {

namespace {

// Rates are shown with every digit they have.
QString rate(calc::Extended value)
{
    return calc::resultText(value, calc::ResultFormat{15, 1});
}

const char *const kMasonryKinds[] = {"кладка 1,0 кирпич", "кладка 1,5 кирпича",
                                     "кладка 2,0 кирпича", "кладка 2,5 кирпича"};

} // namespace

QString materialOf(const QString &caption)
{
    const qsizetype comma = caption.indexOf(u',');
    return (comma < 0 ? caption : caption.left(comma)).trimmed();
}

QStringList masonry(int kind, const QStringList &captions)
{
    QStringList texts{materialOf(captions[0]) +
                      QStringLiteral(" = (длина × высота стены − длина × высота оконных "
                                     "проемов − длина × высота дверных проемов) × толщина кладки")};
    const auto byRate = [&](int row, calc::Extended value, const char *unit) {
        if (kind < 0)
            return materialOf(captions[row]) + QStringLiteral(" = 0 (не выбран вид кладки)");
        return materialOf(captions[row]) + QStringLiteral(" = объем кладки × ") + rate(value) +
               u' ' + QString::fromUtf8(unit) + QStringLiteral(" (") +
               QString::fromUtf8(kMasonryKinds[kind]) + u')';
    };
    const calc::MasonryKind &rates = calc::kMasonryKinds[kind < 0 ? 0 : kind];
    texts << byRate(1, rates.bricksPerM3, "шт./м3") << byRate(2, rates.mortarM3PerM3, "м3/м3")
          << byRate(3, rates.plugsM3PerM3, "м3/м3");
    return texts;
}

QStringList painting(int coats, const QStringList &captions)
{
    const calc::PaintingRates &rates = calc::kPaintingRates[coats];
    const QString layers =
        coats == 0 ? QStringLiteral("(один слой)") : QStringLiteral("(два слоя)");
    const auto byArea = [&](int row, calc::Extended value) {
        return materialOf(captions[row]) + QStringLiteral(" = площадь × ") + rate(value) +
               QStringLiteral(" кг/м2 ") + layers;
    };
    return {materialOf(captions[0]) + QStringLiteral(" = длина × ширина"),
            byArea(1, rates.primingOilKgPerM2),
            materialOf(captions[2]) + QStringLiteral(" = олифа для проолифки × ") +
                rate(calc::kGroundPaintsKgPerKgOil),
            byArea(3, rates.compositionKgPerM2),
            byArea(4, rates.redOxideKgPerM2),
            byArea(5, rates.paintOilKgPerM2),
            byArea(6, calc::kRagsKgPerM2)};
}

QStringList underlay(int variant, const QStringList &captions)
{
    const QString absent = variant < 0 ? QStringLiteral(" — выберите вид подстилающего слоя")
                                       : QStringLiteral(" — не входит в выбранный вид работ");
    QStringList texts;
    for (const QString &caption : captions)
        texts.append(materialOf(caption) + absent);
    if (variant < 0)
        return texts;
    for (const calc::UnderlayMaterial &material : calc::kUnderlayVariants[variant].materials) {
        const bool kilograms = material.row == calc::kUnderlayBitumenKgRow ||
                               material.row == calc::kUnderlayAcidSolutionKgRow;
        texts[material.row - 1] = materialOf(captions[material.row - 1]) +
                                  QStringLiteral(" = объем слоя × ") + rate(material.perM3) +
                                  (kilograms ? QStringLiteral(" кг/м3") : QStringLiteral(" м3/м3"));
    }
    return texts;
}

QStringList gates(int variant, const QStringList &captions)
{
    QStringList texts;
    for (int row = 0; row < calc::kGatesRowCount; ++row) {
        if (variant < 0) {
            texts.append(materialOf(captions[row]) + QStringLiteral(" — выберите вид работ"));
            continue;
        }
        texts.append(materialOf(captions[row]) + QStringLiteral(" = площадь × ") +
                     rate(calc::kGatesRates[variant][row]) +
                     (row < 4 ? QStringLiteral(" м3") : QStringLiteral(" кг")) +
                     QStringLiteral(" на 100 м2 ворот"));
    }
    return texts;
}

QString tiles(int type, const QString &typeName)
{
    if (type < 0)
        return QStringLiteral("Плитки = длина × ширина × число плиток на 1 м2 выбранного типа");
    return QStringLiteral("Плитки = длина × ширина × ") + rate(calc::kTilesPerM2[type]) +
           QStringLiteral(" шт./м2 (") + typeName + u')';
}

} // namespace explanations
