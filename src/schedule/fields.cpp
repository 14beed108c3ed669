#include "schedule/fields.h"

#include "numeric/decimal.h"

#include <charconv>
#include <cstdlib>

namespace schedule {

namespace {

bool digits(std::string_view text, std::size_t &at)
{
    const std::size_t from = at;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9')
        ++at;
    return at > from;
}

// A value rounded to `decimals` as a whole number of their units (12.35 to
// one decimal: 124, or 123 where the double lies below 12.35), as the exact
// decimal expansion of the double rounds.
long long units(double value, int decimals)
{
    const long long n = numeric::roundDecimals(std::abs(value), decimals);
    return value < 0 ? -n : n;
}

// Units of `decimals` as their text, the point a "." in any locale.
std::string unitsText(long long units, int decimals)
{
    std::string digits = std::to_string(units < 0 ? -units : units);
    if (decimals) {
        if (digits.size() <= std::size_t(decimals))
            digits.insert(0, std::size_t(decimals) + 1 - digits.size(), '0');
        digits.insert(digits.size() - std::size_t(decimals), 1, '.');
    }
    return units < 0 ? "-" + digits : digits;
}

std::string tenthsText(long tenths) { return unitsText(tenths, 1); }

} // namespace

std::string fixed(double value, int decimals) { return unitsText(units(value, decimals), decimals); }

std::string elongationLimit(std::string_view shown, int percent)
{
    std::string digits(shown);
    digits.erase(digits.size() - 2, 1);
    return tenthsText((std::stol(digits) * (100 + percent) + 50) / 100);
}

bool plainNumber(std::string_view field)
{
    const std::string_view text = trimmed(field);
    std::size_t at = text.starts_with('+') || text.starts_with('-') ? 1 : 0;
    bool any = digits(text, at);
    if (at < text.size() && text[at] == '.') {
        ++at;
        any = digits(text, at) || any;
    }
    if (any && at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        ++at;
        if (at < text.size() && (text[at] == '+' || text[at] == '-'))
            ++at;
        if (!digits(text, at))
            return false;
    }
    return any && at == text.size();
}

std::string asciiForms(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[i + k]); };
        if (i + 2 < text.size() && byte(0) == 0xE3 && byte(1) == 0x80 && byte(2) == 0x80) {
            out += ' '; // U+3000
            i += 2;
            continue;
        }
        // U+FF01..U+FF5E: EF BC 81..BF and EF BD 80..9E, each 0xFEE0 above its ASCII.
        if (i + 2 < text.size() && byte(0) == 0xEF && (byte(1) == 0xBC || byte(1) == 0xBD)) {
            const unsigned code = 0xF000u + ((byte(1) & 0x3Fu) << 6) + (byte(2) & 0x3Fu);
            if ((byte(2) & 0xC0) == 0x80 && code >= 0xFF01 && code <= 0xFF5E) {
                out += char(code - 0xFEE0);
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

std::string_view trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

std::vector<std::string_view> splitAt(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    if (text.empty())
        return parts;
    for (std::size_t from = 0;;) {
        const std::size_t at = text.find(separator, from);
        parts.push_back(text.substr(from, at == std::string_view::npos ? std::string_view::npos : at - from));
        if (at == std::string_view::npos)
            return parts;
        from = at + 1;
    }
}

std::optional<double> plainValue(std::string_view field)
{
    if (!plainNumber(field))
        return std::nullopt;
    const std::string_view text = trimmed(field);
    const bool minus = text.front() == '-', sign = minus || text.front() == '+';
    double value = 0;
    const auto [end, error] = numeric::readDecimal(text.data() + sign, text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return minus ? -value : value;
}

} // namespace schedule
