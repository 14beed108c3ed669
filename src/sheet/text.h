#pragma once

// What the sheet's pages share in laying out their words: the page's margin,
// patterns filled in, notes split apart, and how tall a tendon's tensioning
// block stands.

#include "schedule/schedule.h"
#include "sheet/pages.h"

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace figure::sheetText {

constexpr double margin = pageMargin;

// A pattern with %1 to %9 replaced by the texts given.
inline std::string fmt(std::string_view pattern, std::initializer_list<std::string_view> texts)
{
    std::string out;
    for (std::size_t at = 0; at < pattern.size(); ++at) {
        const char next = at + 1 < pattern.size() ? pattern[at + 1] : '\0';
        if (pattern[at] == '%' && next >= '1' && next <= '9' && std::size_t(next - '1') < texts.size()) {
            out += *(texts.begin() + (next - '1'));
            ++at;
        } else {
            out += pattern[at];
        }
    }
    return out;
}

inline std::string fixed(double value, int decimals) { return schedule::fixed(value, decimals); }

inline std::vector<std::string> split(const std::string &text, std::string_view separator)
{
    std::vector<std::string> parts;
    for (std::size_t from = 0; from <= text.size();) {
        std::size_t end = text.find(separator, from);
        if (end == std::string::npos)
            end = text.size();
        if (end > from)
            parts.push_back(text.substr(from, end - from));
        from = end + separator.size();
    }
    return parts;
}

// Whether the row's stressing runs along further spans than its own: the
// first row of a continuous tendon.
inline bool throughSpans(const schedule::Result &result)
{
    return result.stressed->pieces.back().to > calc::geometryOf(*result.tendon).span() + 0.5;
}

// The height of the tensioning block, its code to the site record included
// where `code`, as Sheet::tensioning lays it out.
double tensioningHeight(const schedule::Result &result, bool code);

} // namespace figure::sheetText
