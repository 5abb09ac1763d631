#include "underlay.h"

namespace calc {

QList<UnderlayQuantity> computeUnderlay(int variant, const InputNumber &volumeM3)
{
    if (variant < 0)
        return {};
    Q_ASSERT(variant < int(kUnderlayVariants.size()));

    const Extended volume = volumeM3.value();
    QList<UnderlayQuantity> quantities;
    for (const UnderlayMaterial &material : kUnderlayVariants[variant].materials)
        quantities.append({material.row, keptAsDouble(volume * material.perM3)});
    return quantities;
}

} // namespace calc
