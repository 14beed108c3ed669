#pragma once

// Exact conversions between doubles and decimal digits, the ground the number
// texts stand on. Every C++ library the core is built with must give the same
// digits: where its own floating-point conversions are missing (the
// WebAssembly build's) the C library's stand in, and both are slow there, so
// the common cases are worked out here with whole numbers, exactly, and only
// the rest goes to the library.

#include <charconv>
#include <cstdint>

namespace numeric {

// A finite, nonzero magnitude rounded to `significant` decimal digits (1 to
// 17), halves to even on its exact binary value, as printf's "%.*e" rounds:
// `digits` holds exactly that many digits, the first of them worth
// 10^exponent.
struct Rounded {
    std::uint64_t digits;
    int exponent;
};
Rounded roundSignificant(double magnitude, int significant);

// A finite magnitude times 10^decimals (0 to 4) rounded to a whole number,
// halves to even on its exact value, as printf's "%.*f" rounds. The result
// must stay below 2^63.
std::int64_t roundDecimals(double magnitude, int decimals);

// Reads a plain decimal number at the start of [first, last): an optional
// "-", digits with at most one ".", and an exponent where "e" or "E", an
// optional sign and at least one digit follow. The nearest double, as
// std::from_chars gives it; `ptr` points past the number. A number that
// rounds to infinity, or to zero from nonzero digits, is read as that
// infinity or zero and reported as result_out_of_range; a text that starts
// with no number reports invalid_argument.
std::from_chars_result readDecimal(const char *first, const char *last, double &value);

// digits × 10^exponent as the nearest double; out of range as readDecimal.
std::from_chars_result composeDecimal(std::uint64_t digits, int exponent, double &value);

} // namespace numeric
