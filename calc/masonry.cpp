#include "masonry.h"

namespace calc {

MasonryResult computeMasonry(const MasonryInput &input, std::optional<int> kind)
{
    // Every area is kept as a double before the next step uses it; the digits shown depend on it.
    const Extended length = input.lengthM.value();
    const Extended height = input.heightM.value();
    const double wallAreaM2 = keptAsDouble(height * length);

    const Extended windowLength = input.windowLengthM.value();
    const Extended windowHeight = input.windowHeightM.value();
    const double windowAreaM2 = keptAsDouble(windowHeight * windowLength);

    const Extended doorLength = input.doorLengthM.value();
    const Extended doorHeight = input.doorHeightM.value();
    const double doorAreaM2 = keptAsDouble(doorHeight * doorLength);

    // Openings larger than the wall give a negative volume; nothing bounds it.
    const double netAreaM2 = keptAsDouble(Extended(wallAreaM2) - windowAreaM2 - doorAreaM2);

    const Extended thickness = input.thicknessM.value();
    const double volumeM3 = keptAsDouble(thickness * netAreaM2);

    if (!kind)
        return {volumeM3, 0, 0, 0};

    const MasonryKind &rates = kMasonryKinds.at(static_cast<std::size_t>(*kind));
    return {volumeM3, keptAsDouble(volumeM3 * rates.bricksPerM3),
            keptAsDouble(volumeM3 * rates.mortarM3PerM3),
            keptAsDouble(volumeM3 * rates.plugsM3PerM3)};
}

FigureBases masonryBases(std::optional<int> kind)
{
    static const char *const kKindNames[] = {"кладка 1,0 кирпич", "кладка 1,5 кирпича",
                                             "кладка 2,0 кирпича", "кладка 2,5 кирпича"};
    const FigureBasis volume = formulaBasis(
        "(длина × высота стены − длина × высота оконных проемов − длина × высота дверных "
        "проемов) × толщина кладки");
    if (!kind) {
        const FigureBasis none = choiceBasis("0, не выбран вид кладки");
        return {volume, none, none, none};
    }
    const MasonryKind &rates = kMasonryKinds.at(static_cast<std::size_t>(*kind));
    const char *name = kKindNames[*kind];
    return {volume, rateBasis("объем кладки", rates.bricksPerM3, "шт./м3", name),
            rateBasis("объем кладки", rates.mortarM3PerM3, "м3/м3", name),
            rateBasis("объем кладки", rates.plugsM3PerM3, "м3/м3", name)};
}

} // namespace calc
