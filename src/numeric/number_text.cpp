#include "numeric/number_text.h"

#include "numeric/decimal.h"
#include "numeric/failure.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <system_error>

namespace numeric {

namespace {

constexpr bool isDigit(char c) { return c >= '0' && c <= '9'; }

} // namespace

double readNumber(std::string_view text)
{
    std::size_t at = 0;
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t' || text[at] == '\n'))
        ++at;

    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    // After its sign a number starts with a digit or its point; anything
    // else ("--5", "+-1", " 无此值 ") holds no number.
    if (at == text.size() || !(isDigit(text[at]) || text[at] == '.'))
        return 0.0;
    double value = 0;
    const auto [end, error] = readDecimal(text.data() + at, text.data() + text.size(), value);
    (void)end;
    if (error == std::errc::invalid_argument)
        return 0.0; // a point with no digit
    if (error == std::errc::result_out_of_range && std::isinf(value))
        throw Failure(FailureKind::Overflow);
    return negative ? -value : value;
}

namespace {

// A magnitude's digits in the box texts' notation: fixed form where the
// decimal exponent is from -4 to 14, otherwise scientific ("1E-05").
std::string notation(bool negative, Rounded rounded)
{
    const int exponent = rounded.exponent;
    thread_local std::string digits; // kept from one writing to the next
    digits = std::to_string(rounded.digits);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    std::string text = negative ? "-" : "";
    if (exponent < -4 || exponent >= 15) {
        text += digits.front();
        if (digits.size() > 1) {
            text += '.';
            text.append(digits, 1);
        }
        text += exponent < 0 ? "E-" : "E+";
        const int magnitude = std::abs(exponent);
        if (magnitude < 10)
            text += '0';
        text += std::to_string(magnitude);
    } else if (exponent < 0) {
        text += "0.";
        text.append(static_cast<std::size_t>(-exponent - 1), '0');
        text += digits;
    } else {
        const auto whole = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= whole) {
            text += digits;
            text.append(whole - digits.size(), '0');
        } else {
            text.append(digits, 0, whole);
            text += '.';
            text.append(digits, whole);
        }
    }
    return text;
}

void checkFinite(double value)
{
    if (std::isnan(value))
        throw Failure(FailureKind::InvalidOperation);
    if (std::isinf(value))
        throw Failure(FailureKind::Overflow);
}

} // namespace

std::string writeNumber(double value)
{
    checkFinite(value);
    if (value == 0)
        return "0";
    // Rounded correctly to 15 significant digits, carries included:
    // 9.999999999999999e-5 comes out as 1.00000000000000e-04.
    return notation(value < 0, roundSignificant(std::abs(value), 15));
}

std::string writeShortest(double value)
{
    checkFinite(value);
    if (value == 0)
        return "0";
    const double magnitude = std::abs(value);
    // Whole millimetres, the common case, need no search.
    if (magnitude < 1e15 && magnitude == std::floor(magnitude))
        return (value < 0 ? "-" : "") + std::to_string(static_cast<std::int64_t>(magnitude));
    for (int significant = 1;; ++significant) {
        const Rounded rounded = roundSignificant(magnitude, significant);
        double back = 0;
        composeDecimal(rounded.digits, rounded.exponent - significant + 1, back);
        if (back == magnitude || significant == 17) // 17 digits always read back
            return notation(value < 0, rounded);
    }
}

double readNumberText(std::string_view numberText)
{
    const std::size_t digitAt = numberText.starts_with('-') ? 1 : 0;
    if (digitAt >= numberText.size() || !isDigit(numberText[digitAt]))
        throw Failure(FailureKind::InvalidArgument);
    double value = 0;
    const char *first = numberText.data();
    const char *last = first + numberText.size();
    const auto [end, error] = readDecimal(first, last, value);
    if (end != last || (error != std::errc() && error != std::errc::result_out_of_range))
        throw Failure(FailureKind::InvalidArgument);
    // The largest doubles round up past the largest double at 15 digits
    // ("1.79769313486232E+308"): reading that back overflows, as any number
    // beyond the range does.
    if (error == std::errc::result_out_of_range)
        return readNumber(numberText);
    return value;
}

// The same value as reading back what writeNumber writes, without building
// the text: a schedule holds hundreds of thousands of values this way.
double heldAsText(double value)
{
    if (std::isnan(value))
        throw Failure(FailureKind::InvalidOperation);
    if (std::isinf(value))
        throw Failure(FailureKind::Overflow);
    if (value == 0)
        return 0.0; // negative zero too is written "0"
    const Rounded rounded = roundSignificant(std::abs(value), 15);
    double held = 0;
    if (composeDecimal(rounded.digits, rounded.exponent - 14, held).ec == std::errc::result_out_of_range)
        throw Failure(FailureKind::Overflow); // the largest doubles round past the range
    return value < 0 ? -held : held;
}

std::int16_t roundToShort(double value)
{
    // The default rounding mode rounds halves to even.
    const double whole = std::nearbyint(value);
    if (!(whole >= std::numeric_limits<std::int16_t>::min()
          && whole <= std::numeric_limits<std::int16_t>::max()))
        throw Failure(FailureKind::Overflow); // also NaN
    return static_cast<std::int16_t>(whole);
}

std::int32_t roundToLong(double value)
{
    const double whole = std::nearbyint(value);
    if (!(whole >= std::numeric_limits<std::int32_t>::min() && whole <= std::numeric_limits<std::int32_t>::max()))
        throw Failure(FailureKind::Overflow); // also NaN
    return static_cast<std::int32_t>(whole);
}

std::string writeShort(std::int16_t value) { return std::to_string(value); }

std::int16_t addShort(std::int16_t a, std::int16_t b)
{
    const int sum = int(a) + int(b);
    if (sum < std::numeric_limits<std::int16_t>::min()
        || sum > std::numeric_limits<std::int16_t>::max())
        throw Failure(FailureKind::Overflow);
    return static_cast<std::int16_t>(sum);
}

} // namespace numeric
