#include "underlay.h"

namespace calc {

QList<UnderlayQuantity> computeUnderlay(int variant, const InputNumber &volumeM3)
{
    if (variant < 0)
        return {};

    const Extended volume = volumeM3.value();
    QList<UnderlayQuantity> quantities;
    for (const UnderlayMaterial &material :
         kUnderlayVariants.at(static_cast<std::size_t>(variant)).materials)
        quantities.append({material.row, keptAsDouble(volume * material.perM3)});
    return quantities;
}

namespace {

// The unit of a row's rate: kilograms for bitumen and the acid solution, m3 for the rest.
const char *underlayRateUnit(int row)
{
    return row == kUnderlayBitumenKgRow || row == kUnderlayAcidSolutionKgRow ? "кг/м3" : "м3/м3";
}

} // namespace

FigureBases underlayBases(int variant)
{
    if (variant < 0)
        return FigureBases(kUnderlayRowCount, choiceBasis("выберите вид подстилающего слоя"));
    FigureBases bases(kUnderlayRowCount, choiceBasis("не входит в выбранный вид работ"));
    for (const UnderlayMaterial &material :
         kUnderlayVariants.at(static_cast<std::size_t>(variant)).materials)
        bases[material.row - 1] =
            rateBasis("объем слоя", material.perM3, underlayRateUnit(material.row));
    return bases;
}

} // namespace calc
