#pragma once

// How box texts become numbers and numbers become box texts. Every result the
// engineer reads depends on these to the last digit: coefficients and
// intermediate values are held as text between steps, so a value written and
// read back is the value rounded to 15 significant digits.
//
// All texts are UTF-8. The decimal point is always ".", whatever the locale.

#include <cstdint>
#include <string>
#include <string_view>

namespace numeric {

// Reads the number at the start of a text: leading blanks (space, tab, line
// feed) are skipped, then an optional sign, digits with at most one ".", and an
// optional exponent ("E" or "e", optional sign, digits). Reading stops at the
// first character that cannot continue the number; a text with no digits there
// reads 0. So "12abc" reads 12, "1,5" reads 1 and " 无此值 " reads 0.
// A number too large for a double fails with overflow; one too small reads 0.
double readNumber(std::string_view text);

// Writes a real number as text: rounded to 15 significant digits, in fixed form
// ("1500.5", "0.0001") when its decimal exponent is from -4 to 14, otherwise
// in scientific form ("1E-05", "-2.5E-06", "1E+15"). Zero, negative zero
// included, is "0".
std::string writeNumber(double value);

// Writes a real number as the shortest text that reads back as the same
// double (at most 17 significant digits), in writeNumber's notation: 0.1, as
// a spreadsheet stores it ("0.10000000000000001"), is "0.1". A number taken
// from a spreadsheet's cell enters the box rules as this text, as if typed.
std::string writeShortest(double value);

// Reads back a text made by writeNumber: the double nearest to the decimal it
// shows; one beyond the range of a double fails with overflow. A text that is
// no plain decimal number (an optional "-", digits, an optional "." and
// exponent, nothing before or after) fails with invalid argument: blanks,
// words, "inf" and "nan" included.
double readNumberText(std::string_view numberText);

// A value as it comes back from being written to a box and read again: rounded
// to 15 significant digits.
double heldAsText(double value);

// Rounds to a whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4),
// and fails with overflow outside -32768..32767.
std::int16_t roundToShort(double value);

// The same, failing with overflow outside -2147483648..2147483647: the whole
// millimetres of a schedule, which is no box.
std::int32_t roundToLong(double value);

// Whether a whole number lies within -32768..32767, as the window holds it.
inline bool fitsShort(double whole) { return whole >= -32768 && whole <= 32767; }

// "-12", "0", "32767".
std::string writeShort(std::int16_t value);

// The exact sum; fails with overflow outside -32768..32767.
std::int16_t addShort(std::int16_t a, std::int16_t b);

} // namespace numeric
