// libFuzzer target: writing what reading a text gave, and, for eight-byte
// inputs, writing those bytes taken as a double. The written text must have
// the number-text shape, read back to the value rounded to 15 significant
// digits (as the C library rounds it), read the same by the box reading rule,
// and write again to itself.

#include "numeric/failure.h"
#include "numeric/number_text.h"

#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// "0", or [-]D[.DDD]E(+|-)DD[D], or [-]DIGITS[.DIGITS] with no trailing zero
// after the point and no leading zero before a digit.
bool wellFormed(const std::string &s)
{
    if (s == "0")
        return true;
    std::size_t at = s[0] == '-' ? 1 : 0;
    const std::size_t e = s.find('E');
    const std::string mantissa = s.substr(at, e == std::string::npos ? std::string::npos : e - at);
    if (mantissa.empty() || !isDigit(mantissa.front()))
        return false;
    const std::size_t point = mantissa.find('.');
    if (point != std::string::npos) {
        if (point + 1 == mantissa.size() || mantissa.back() == '0')
            return false;
        for (std::size_t i = point + 1; i < mantissa.size(); ++i)
            if (!isDigit(mantissa[i]))
                return false;
    }
    const std::string whole = mantissa.substr(0, point);
    for (char c : whole)
        if (!isDigit(c))
            return false;
    if (whole.size() > 1 && whole.front() == '0')
        return false;
    if (e == std::string::npos)
        return true;
    if (whole.size() != 1 || whole == "0" || e + 3 > s.size() || (s[e + 1] != '+' && s[e + 1] != '-'))
        return false;
    const std::string exponent = s.substr(e + 2);
    if (exponent.size() < 2 || exponent.size() > 3)
        return false;
    for (char c : exponent)
        if (!isDigit(c))
            return false;
    return true;
}

void check(double value)
{
    const std::string text = numeric::writeNumber(value);
    if (!wellFormed(text))
        __builtin_trap();

    char rounded[40];
    std::snprintf(rounded, sizeof rounded, "%.14e", value);
    const double expected = value == 0 ? 0.0 : std::strtod(rounded, nullptr);
    if (std::isinf(expected)) {
        // Within half a unit of the 15th digit of the largest double: the text
        // stands for a number beyond the range, and reading it must say so.
        try {
            numeric::readNumberText(text);
        } catch (const numeric::Failure &failure) {
            if (failure.kind() == numeric::FailureKind::Overflow)
                return;
        }
        __builtin_trap();
    }
    const double back = numeric::readNumberText(text);
    if (back != expected)
        __builtin_trap();
    if (std::bit_cast<std::uint64_t>(numeric::readNumber(text)) != std::bit_cast<std::uint64_t>(back))
        __builtin_trap();
    if (numeric::writeNumber(back) != text)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    try {
        check(numeric::readNumber(std::string_view(reinterpret_cast<const char *>(data), size)));
    } catch (const numeric::Failure &) {
        // Too large to read: nothing to write.
    }
    if (size == sizeof(double)) {
        double bits;
        std::memcpy(&bits, data, sizeof bits);
        if (std::isfinite(bits))
            check(bits);
    }
    return 0;
}
