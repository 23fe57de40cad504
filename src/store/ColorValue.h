#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zento {

/// A colour as the store keeps it: 0x00BBGGRR (red in the lowest byte).
using ColorValue = std::uint32_t;

/// Reads a stored colour: a decimal integer, or "&H" followed by hexadecimal digits; in
/// either notation one final "&" is dropped first ("&H0080FFFF&" is 8454143). Only values
/// 0 to 0xFFFFFF are colours; anything else gives nullopt.
std::optional<ColorValue> ParseColorValue(std::string_view text);

/// The decimal text the store writes for a colour.
std::string FormatColorValue(ColorValue c);

constexpr ColorValue RgbColor(unsigned r, unsigned g, unsigned b) {
    return r | (g << 8) | (b << 16);
}
constexpr unsigned RedOf(ColorValue c) {
    return c & 0xFF;
}
constexpr unsigned GreenOf(ColorValue c) {
    return (c >> 8) & 0xFF;
}
constexpr unsigned BlueOf(ColorValue c) {
    return (c >> 16) & 0xFF;
}

} // namespace zento
