#include "appearance/EmoticonSet.h"

#include "store/DateText.h"

namespace zento {

namespace {
constexpr int kPitch = 360;
constexpr int kWidth = 360;
constexpr int kHeight = 330;
constexpr int kLeft = 120;
constexpr int kTop = 180;
} // namespace

std::optional<EmoticonInfo> EmoticonAt(int index) {
    if (index < 0 || index >= kEmoticonCount)
        return std::nullopt;
    return kEmoticons[static_cast<std::size_t>(index)];
}

std::optional<int> EmoticonIndexAt(int row, int column) {
    for (const EmoticonInfo& e : kEmoticons)
        if (e.row == row && e.column == column)
            return e.index;
    return std::nullopt;
}

TwipRect EmoticonRect(int index) {
    const auto e = EmoticonAt(index);
    if (!e)
        return {};
    return {kLeft + kPitch * (e->column - 1), kTop + kPitch * (e->row - 1), kWidth, kHeight};
}

std::optional<int> ParseEmoticonIndex(std::string_view text) {
    const auto v = ParseInt32(text);
    if (!v || *v < 0 || *v >= kEmoticonCount)
        return std::nullopt;
    return v;
}

int NewAlertEmoticon(std::string_view defaultEmoticon) {
    return ParseEmoticonIndex(defaultEmoticon).value_or(kDefaultEmoticon);
}

} // namespace zento
