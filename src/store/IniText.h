#pragma once

#include <cstddef>
#include <string_view>
#include <type_traits>

namespace zento {

/// True when two names are equal without regard to ASCII case, as INI names are compared.
bool EqualsNoCase(std::string_view a, std::string_view b);

/// Calls f(line, begin, next) for each line of `text` in [from, to): the line without its LF
/// (nor the CR of a CR LF), where it begins and where the next one begins. `to` is the end of
/// the text or the beginning of a line. An f that returns bool stops the walk with false.
template <typename F>
void ForEachLine(std::string_view text, std::size_t from, std::size_t to, F&& f) {
    using Result = std::invoke_result_t<F&, std::string_view, std::size_t, std::size_t>;
    while (from < to) {
        const std::size_t nl = text.find('\n', from);
        const std::size_t lineEnd = nl == std::string_view::npos || nl >= to ? to : nl;
        const std::size_t next = lineEnd == to ? to : lineEnd + 1;
        std::string_view line = text.substr(from, lineEnd - from);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if constexpr (std::is_same_v<Result, bool>) {
            if (!f(line, from, next))
                return;
        } else {
            f(line, from, next);
        }
        from = next;
    }
}

} // namespace zento
