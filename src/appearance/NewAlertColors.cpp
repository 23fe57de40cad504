#include "appearance/NewAlertColors.h"

#include "appearance/Palette.h"

#include <algorithm>
#include <cmath>

namespace zento {

int RandomPaletteCell(RandomSource& random) {
    const double u = random.NextUniform();
    if (!(u >= 0.0)) // also NaN
        return 0;
    if (u >= 1.0)
        return kRandomPaletteCells - 1;
    return std::min(static_cast<int>(std::floor(kRandomPaletteCells * u)), kRandomPaletteCells - 1);
}

ColorPair NewAlertColors(std::string_view storedFond, std::string_view storedPolice, int randomCell) {
    const PaletteCell& cell =
        kPalette[static_cast<std::size_t>(std::clamp(randomCell, 0, kRandomPaletteCells - 1))];
    // An empty key means "random"; an unreadable one gets the same treatment rather than black.
    return {ParseColorValue(storedFond).value_or(cell.background),
            ParseColorValue(storedPolice).value_or(cell.text)};
}

ColorPair NewAlertColors(std::string_view storedFond, std::string_view storedPolice, RandomSource& random) {
    return NewAlertColors(storedFond, storedPolice, RandomPaletteCell(random));
}

} // namespace zento
