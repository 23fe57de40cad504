#pragma once

#include "appearance/TwipRect.h"
#include "store/ColorValue.h"

#include <array>
#include <optional>

namespace zento {

/// One cell of the colour palette: a background and a text colour chosen together.
struct PaletteCell {
    int index;             ///< 0..15
    int row;               ///< 1..4, top to bottom
    int column;            ///< 1..4, left to right
    ColorValue background; ///< 0x00BBGGRR
    ColorValue text;

    bool operator==(const PaletteCell&) const = default;
};

constexpr int kPaletteSize = 16;
/// New alerts draw their random colours from cells 0 .. kRandomPaletteCells - 1, the two top rows.
constexpr int kRandomPaletteCells = 8;

/// The palette, in index order. Rows 1 and 2 run 0..7 left to right; rows 3 and 4 run right to
/// left (row 3 is 15, 14, 13, 12 from the left, row 4 is 11, 10, 9, 8).
constexpr std::array<PaletteCell, kPaletteSize> kPalette = {{
    {0, 1, 1, 16777215, 0},         // #FFFFFF on #000000
    {1, 1, 2, 12632319, 255},       // #FFC0C0, #FF0000
    {2, 1, 3, 12640511, 4210752},   // #FFE0C0, #404040
    {3, 1, 4, 12648447, 16744703},  // #FFFFC0, #FF80FF
    {4, 2, 1, 12648384, 192},       // #C0FFC0, #C00000
    {5, 2, 2, 16777152, 8388608},   // #C0FFFF, #000080
    {6, 2, 3, 16761024, 0},         // #C0C0FF, #000000
    {7, 2, 4, 16761087, 4210752},   // #FFC0FF, #404040
    {8, 4, 4, 16711935, 14737632},  // #FF00FF, #E0E0E0
    {9, 4, 3, 16744576, 16384},     // #8080FF, #004000
    {10, 4, 2, 16777088, 16711935}, // #80FFFF, #FF00FF
    {11, 4, 1, 8454016, 4210752},   // #80FF80, #404040
    {12, 3, 4, 8454143, 16744703},  // #FFFF80, #FF80FF
    {13, 3, 3, 8438015, 4210752},   // #FFC080, #404040
    {14, 3, 2, 8421631, 0},         // #FF8080, #000000
    {15, 3, 1, 14737632, 8454143},  // #E0E0E0, #FFFF80
}};

/// The cell with that index, nullopt outside 0..15.
std::optional<PaletteCell> PaletteCellAt(int index);

/// The index of the cell at a row and a column (1..4 each), nullopt outside the grid.
std::optional<int> PaletteIndexAt(int row, int column);

/// The place of a cell within the colour page: 330 by 330 twips at a pitch of 360, left edges
/// 120, 480, 840, 1200 and top edges 240, 600, 960, 1320. An empty rectangle outside 0..15.
TwipRect PaletteCellRect(int index);

} // namespace zento
