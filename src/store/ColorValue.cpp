#include "store/ColorValue.h"

#include "store/DateText.h"

#include <charconv>

namespace zento {

std::optional<ColorValue> ParseColorValue(std::string_view text) {
    std::string_view s = TrimBlanks(text);
    if (!s.empty() && s.back() == '&')
        s.remove_suffix(1);
    std::uint64_t v = 0;
    int base = 10;
    if (s.size() >= 2 && s[0] == '&' && (s[1] == 'H' || s[1] == 'h')) {
        s.remove_prefix(2);
        base = 16;
        if (s.size() > 8)
            return std::nullopt;
    }
    if (s.empty())
        return std::nullopt;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v, base);
    if (ec != std::errc{} || end != s.data() + s.size() || v > 0xFFFFFF)
        return std::nullopt;
    return static_cast<ColorValue>(v);
}

std::string FormatColorValue(ColorValue c) {
    return std::to_string(c);
}

} // namespace zento
