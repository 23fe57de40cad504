#include "appearance/Palette.h"

namespace zento {

namespace {
constexpr int kPitch = 360;
constexpr int kCellSize = 330;
constexpr int kLeft = 120;
constexpr int kTop = 240;
} // namespace

std::optional<PaletteCell> PaletteCellAt(int index) {
    if (index < 0 || index >= kPaletteSize)
        return std::nullopt;
    return kPalette[static_cast<std::size_t>(index)];
}

std::optional<int> PaletteIndexAt(int row, int column) {
    for (const PaletteCell& c : kPalette)
        if (c.row == row && c.column == column)
            return c.index;
    return std::nullopt;
}

TwipRect PaletteCellRect(int index) {
    const auto cell = PaletteCellAt(index);
    if (!cell)
        return {};
    return {kLeft + kPitch * (cell->column - 1), kTop + kPitch * (cell->row - 1), kCellSize, kCellSize};
}

} // namespace zento
