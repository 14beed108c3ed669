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

// Beyond these decimal exponents a double is infinite or zero whatever the
// digits, so there is no need to hand such numbers to the converter.
constexpr std::int64_t overflowExponent = 310;
constexpr std::int64_t underflowExponent = -330;
// Exponent digits are summed with saturation: a text may hold a million of them.
constexpr std::int64_t exponentCap = 1'000'000'000;

double signed0(bool negative) { return negative ? -0.0 : 0.0; }

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

    // Significant digits without leading zeros, and the decimal exponent of the
    // first of them, so that the value is 0.DIGITS x 10^scale. The buffer is
    // kept from one reading to the next: a schedule reads millions of numbers.
    thread_local std::string digits;
    digits.clear();
    std::int64_t scale = 0;
    bool sawDigit = false;
    bool sawPoint = false;
    for (; at < text.size(); ++at) {
        const char c = text[at];
        if (isDigit(c)) {
            sawDigit = true;
            if (digits.empty() && c == '0') {
                if (sawPoint)
                    --scale;
                continue;
            }
            digits.push_back(c);
            if (!sawPoint)
                ++scale;
        } else if (c == '.' && !sawPoint) {
            sawPoint = true;
        } else {
            break;
        }
    }
    if (!sawDigit)
        return 0.0;

    // An exponent counts only when at least one digit follows the letter and
    // its sign; otherwise the number ends before the letter.
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        std::size_t expAt = at + 1;
        bool expNegative = false;
        if (expAt < text.size() && (text[expAt] == '+' || text[expAt] == '-')) {
            expNegative = text[expAt] == '-';
            ++expAt;
        }
        if (expAt < text.size() && isDigit(text[expAt])) {
            std::int64_t exponent = 0;
            for (; expAt < text.size() && isDigit(text[expAt]); ++expAt)
                exponent = std::min(exponentCap, exponent * 10 + (text[expAt] - '0'));
            scale += expNegative ? -exponent : exponent;
        }
    }

    if (digits.empty())
        return signed0(negative);
    if (scale > overflowExponent)
        throw Failure(FailureKind::Overflow);
    if (scale < underflowExponent)
        return signed0(negative);

    digits.insert(0, "0.");
    digits.push_back('e');
    digits += std::to_string(scale);

    double value = 0;
    if (readDecimal(digits.data(), digits.data() + digits.size(), value).ec == std::errc::result_out_of_range) {
        if (scale > 0)
            throw Failure(FailureKind::Overflow);
        return signed0(negative);
    }
    return negative ? -value : value;
}

std::string writeNumber(double value)
{
    if (std::isnan(value))
        throw Failure(FailureKind::InvalidOperation);
    if (std::isinf(value))
        throw Failure(FailureKind::Overflow);
    if (value == 0)
        return "0";

    // Rounded correctly to 15 significant digits, carries included:
    // 9.999999999999999e-5 comes out as 1.00000000000000e-04.
    const bool negative = value < 0;
    const Rounded rounded = roundSignificant(std::abs(value), 15);
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
