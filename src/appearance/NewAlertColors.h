#pragma once

#include "appearance/RandomSource.h"
#include "store/ColorValue.h"

#include <string_view>

namespace zento {

/// A background and a text colour.
struct ColorPair {
    ColorValue background = 0;
    ColorValue text = 0;

    bool operator==(const ColorPair&) const = default;
};

/// One draw among the palette's random cells: floor(8 × u) for u from the source, 0..7. A value
/// outside [0, 1) from a faulty source is brought within range (1.0 or more gives 7, below 0 or
/// NaN gives 0).
int RandomPaletteCell(RandomSource& random);

/// The colours of a new alert from the stored defaults Fond and Police ([Param] keys). Each one
/// that is empty or does not read as a colour (decimal or "&H" notation) takes the colour of palette
/// cell `randomCell` instead, so that two random colours always come from the same cell; a stored
/// one is kept as it is. `randomCell` outside 0..7 is brought within range.
ColorPair NewAlertColors(std::string_view storedFond, std::string_view storedPolice, int randomCell);

/// The same with one draw from `random`, made whatever is stored.
ColorPair NewAlertColors(std::string_view storedFond, std::string_view storedPolice, RandomSource& random);

} // namespace zento
