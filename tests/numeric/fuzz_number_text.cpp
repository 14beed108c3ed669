// libFuzzer target for the number-text rules. Any text: reading it never
// crashes, gives a finite number or fails with overflow, and a unit after it or
// blanks before it change nothing. What it read, and any eight input bytes
// taken as a double, write as a text that both readers read back alike and
// that writes again to itself. The conversions under them give what the C++
// library's own give: the same double for the text, the same digits for the
// double.

#include "numeric/decimal.h"
#include "numeric/failure.h"
#include "numeric/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

namespace {

std::optional<double> read(const std::string &text)
{
    try {
        return numeric::readNumber(text);
    } catch (const numeric::Failure &failure) {
        if (failure.kind() != numeric::FailureKind::Overflow)
            __builtin_trap();
        return std::nullopt;
    }
}

void writeAndReadBack(double value)
{
    const std::string text = numeric::writeNumber(value);
    try {
        const double back = numeric::readNumberText(text);
        if (numeric::readNumber(text) != back || numeric::writeNumber(back) != text
            || numeric::heldAsText(value) != back)
            __builtin_trap();
    } catch (const numeric::Failure &failure) {
        // Only the largest doubles stand at 15 digits for a number past the range.
        if (failure.kind() != numeric::FailureKind::Overflow || std::fabs(value) < 1.7e308)
            __builtin_trap();
    }
}

// The digits and exponent the library's "%.*e" gives.
numeric::Rounded libraryDigits(double magnitude, int significant)
{
    char text[64];
    const auto end = std::to_chars(text, text + sizeof text, magnitude, std::chars_format::scientific, significant - 1).ptr;
    numeric::Rounded r{0, 0};
    const char *at = text;
    for (; *at != 'e'; ++at)
        if (*at != '.')
            r.digits = r.digits * 10 + std::uint64_t(*at - '0');
    std::from_chars(at + (at[1] == '+' ? 2 : 1), end, r.exponent);
    return r;
}

void sameAsLibrary(const std::string &text, double value)
{
    double mine = 0, theirs = 0;
    const auto a = numeric::readDecimal(text.data(), text.data() + text.size(), mine);
    const auto b = std::from_chars(text.data(), text.data() + text.size(), theirs);
    // The library also reads "-inf" and "-nan", which are no plain decimals.
    const std::size_t first = text.starts_with('-') ? 1 : 0;
    if (first < text.size() && (std::isdigit(static_cast<unsigned char>(text[first])) || text[first] == '.')
        && (a.ec != b.ec || a.ptr != b.ptr || (a.ec == std::errc() && std::memcmp(&mine, &theirs, sizeof mine) != 0)))
        __builtin_trap();
    if (!std::isfinite(value) || value == 0)
        return;
    const double magnitude = std::fabs(value);
    std::uint64_t bits = 0;
    std::memcpy(&bits, &magnitude, sizeof bits);
    for (int significant : {15, 17, 1 + int(bits % 17)}) {
        const numeric::Rounded m = numeric::roundSignificant(magnitude, significant);
        const numeric::Rounded l = libraryDigits(magnitude, significant);
        if (m.digits != l.digits || m.exponent != l.exponent)
            __builtin_trap();
    }
    if (magnitude < 1e14) {
        for (int decimals = 0; decimals <= 4; ++decimals) {
            char fixed[64];
            char *end = std::to_chars(fixed, fixed + sizeof fixed, magnitude, std::chars_format::fixed, decimals).ptr;
            std::int64_t units = 0;
            for (const char *c = fixed; c < end; ++c)
                if (*c != '.')
                    units = units * 10 + (*c - '0');
            if (numeric::roundDecimals(magnitude, decimals) != units)
                __builtin_trap();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    const std::optional<double> value = read(text);
    if (value && !std::isfinite(*value))
        __builtin_trap();
    if (read(text + "mm") != value || read(" \t\n" + text) != value)
        __builtin_trap();
    if (value)
        writeAndReadBack(*value);
    sameAsLibrary(text, value.value_or(0));
    if (size == sizeof(double)) {
        double bits;
        std::memcpy(&bits, data, sizeof bits);
        if (std::isfinite(bits))
            writeAndReadBack(bits);
        sameAsLibrary({}, bits);
    }
    return 0;
}
