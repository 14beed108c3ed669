#include "numeric/decimal.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <system_error>
#include <version>

// The C++ library's floating-point conversions where it has them; the C
// library's otherwise, which is always in the "C" locale there.
#if defined(__cpp_lib_to_chars)
#define QUILLMERE_FLOAT_CHARCONV 1
#else
#define QUILLMERE_FLOAT_CHARCONV 0
#endif

namespace numeric {

namespace {

__extension__ typedef unsigned __int128 Wide; // both compilers have it; the standard does not

constexpr bool isDigit(char c) { return c >= '0' && c <= '9'; }

constexpr Wide powerOf10(int k)
{
    Wide p = 1;
    for (int i = 0; i < k; ++i)
        p *= 10;
    return p;
}

constexpr auto powersOf10 = [] {
    std::array<Wide, 39> p{};
    for (int k = 0; k < 39; ++k)
        p[std::size_t(k)] = powerOf10(k);
    return p;
}();

// Doubles that hold a power of ten exactly: up to 10^22.
constexpr double exactPowers[]{1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                               1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

int bitWidth(Wide n)
{
    const auto high = std::uint64_t(n >> 64);
    return high ? 64 + std::bit_width(high) : std::bit_width(std::uint64_t(n));
}

// magnitude × 10^k, exactly a fraction m·2^e·10^k, rounded to the nearest
// whole number, halves to even. False where the fraction or the result does
// not fit the whole numbers used here: the caller then asks the library.
bool scaledRounded(double magnitude, int k, std::uint64_t &out)
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, &magnitude, sizeof bits); // std::bit_cast is not in every C++ library yet
    const int biased = int(bits >> 52) & 0x7FF;
    const std::uint64_t fraction = bits & ((std::uint64_t(1) << 52) - 1);
    const std::uint64_t m = biased ? fraction | (std::uint64_t(1) << 52) : fraction;
    const int e = biased ? biased - 1075 : -1074;
    if (k > 22 || k < -38)
        return false;
    // The quotient q with its remainder against half the divisor: up past a
    // half, and at a half to even.
    const auto rounded = [&](Wide q, Wide rest, Wide half) {
        if (rest > half || (rest == half && (q & 1)))
            ++q;
        out = std::uint64_t(q);
        return !(q >> 64);
    };
    Wide numerator = k >= 0 ? Wide(m) * powersOf10[std::size_t(k)] : Wide(m);
    Wide denominator = k >= 0 ? 1 : powersOf10[std::size_t(-k)];
    if (e >= 0) {
        if (bitWidth(numerator) + e > 127)
            return false;
        numerator <<= e;
    } else if (denominator == 1) {
        // The common case: a fraction of a power of two, done with shifts.
        const int s = -e;
        if (s > 126)
            return false;
        return rounded(numerator >> s, numerator & ((Wide(1) << s) - 1), Wide(1) << (s - 1));
    } else {
        if (bitWidth(denominator) - e > 127)
            return false;
        denominator <<= -e;
    }
    // Twice the remainder against the divisor, which is below 2^127.
    return rounded(numerator / denominator, (numerator % denominator) * 2, denominator);
}

// The library's "%.*e" or "%.*f" of a magnitude, as plain text.
std::string libraryText(double magnitude, int precision, bool scientific)
{
    char text[400];
#if QUILLMERE_FLOAT_CHARCONV
    const auto end = std::to_chars(text, text + sizeof text, magnitude,
                                   scientific ? std::chars_format::scientific : std::chars_format::fixed, precision)
                         .ptr;
    return std::string(text, end);
#else
    const int n = std::snprintf(text, sizeof text, scientific ? "%.*e" : "%.*f", precision, magnitude);
    return std::string(text, std::size_t(n));
#endif
}

} // namespace

Rounded roundSignificant(double magnitude, int significant)
{
    const auto top = std::uint64_t(powersOf10[std::size_t(significant)]);
    // log10 may be off near a power of ten: one decade lower is always safe
    // to climb from, and a result inside the decade proves the guess.
    int exponent = int(std::floor(std::log10(magnitude)));
    std::uint64_t digits = 0;
    bool exact = scaledRounded(magnitude, significant - 1 - exponent, digits);
    if (exact && digits <= top / 10)
        exact = scaledRounded(magnitude, significant - 1 - --exponent, digits);
    while (exact && digits > top)
        exact = scaledRounded(magnitude, significant - 1 - ++exponent, digits);
    if (exact)
        return digits == top ? Rounded{top / 10, exponent + 1} : Rounded{digits, exponent}; // a carry: 9.99.. to 10.0..
    const std::string text = libraryText(magnitude, significant - 1, true);
    Rounded rounded{0, 0};
    std::size_t at = 0;
    for (; text[at] != 'e'; ++at)
        if (isDigit(text[at]))
            rounded.digits = rounded.digits * 10 + std::uint64_t(text[at] - '0');
    rounded.exponent = std::atoi(text.c_str() + at + 1);
    return rounded;
}

std::int64_t roundDecimals(double magnitude, int decimals)
{
    std::uint64_t units = 0;
    if (scaledRounded(magnitude, decimals, units) && units < (std::uint64_t(1) << 63))
        return std::int64_t(units);
    std::int64_t n = 0;
    for (char c : libraryText(magnitude, decimals, false))
        if (isDigit(c))
            n = n * 10 + (c - '0');
    return n;
}

std::from_chars_result composeDecimal(std::uint64_t digits, int exponent, double &value)
{
    // One correctly rounded operation on exact operands is the nearest double.
    if (digits < (std::uint64_t(1) << 53) && exponent >= -22 && exponent <= 22) {
        const double d = double(digits);
        value = exponent >= 0 ? d * exactPowers[exponent] : d / exactPowers[-exponent];
        return {nullptr, std::errc()};
    }
    const std::string text = std::to_string(digits) + "e" + std::to_string(exponent);
    auto result = readDecimal(text.data(), text.data() + text.size(), value);
    result.ptr = nullptr;
    return result;
}

std::from_chars_result readDecimal(const char *first, const char *last, double &value)
{
    const char *at = first;
    const bool negative = at < last && *at == '-';
    at += negative;
    // Up to 19 significant digits as a whole number; a nonzero digit beyond
    // them leaves it to the library.
    std::uint64_t digits = 0;
    int kept = 0, scale = 0;
    bool any = false, dropped = false, point = false;
    for (; at < last; ++at) {
        if (isDigit(*at)) {
            any = true;
            if (kept == 0 && *at == '0') {
                scale -= point;
                continue;
            }
            if (kept < 19) {
                digits = digits * 10 + std::uint64_t(*at - '0');
                ++kept;
                scale -= point;
            } else {
                dropped = dropped || *at != '0';
                scale += !point;
            }
        } else if (*at == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (!any)
        return {first, std::errc::invalid_argument};
    if (at < last && (*at == 'e' || *at == 'E')) {
        const char *e = at + 1;
        const bool below = e < last && *e == '-';
        e += e < last && (*e == '-' || *e == '+');
        if (e < last && isDigit(*e)) {
            long exponent = 0;
            for (; e < last && isDigit(*e); ++e)
                exponent = std::min(100'000L, exponent * 10 + (*e - '0'));
            scale += int(below ? -exponent : exponent);
            at = e;
        }
    }
    const auto done = [&](double magnitude) {
        value = negative ? -magnitude : magnitude;
        const bool outside = std::isinf(magnitude) || (magnitude == 0 && digits != 0);
        return std::from_chars_result{at, outside ? std::errc::result_out_of_range : std::errc()};
    };
    if (digits == 0)
        return done(0);
    // Beyond these the number is infinite or zero whatever its digits.
    if (scale + kept > 310)
        return done(INFINITY);
    if (scale + kept < -330)
        return done(0);
    if (!dropped && digits < (std::uint64_t(1) << 53) && scale >= -22 && scale <= 22)
        return done(scale >= 0 ? double(digits) * exactPowers[scale] : double(digits) / exactPowers[-scale]);
    double magnitude = 0;
#if QUILLMERE_FLOAT_CHARCONV
    if (std::from_chars(first + negative, at, magnitude).ec == std::errc::result_out_of_range)
        magnitude = scale > 0 ? INFINITY : 0; // the library leaves the value as it was
#else
    const std::string text(first + negative, at);
    magnitude = std::strtod(text.c_str(), nullptr);
#endif
    return done(magnitude);
}

} // namespace numeric
