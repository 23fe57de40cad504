#pragma once

namespace zento {

/// A control's place within its page, in twips (1/1440 inch).
struct TwipRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    bool operator==(const TwipRect&) const = default;
};

} // namespace zento
