// libFuzzer target for the number-text rules. Any text: reading it never
// crashes, gives a finite number or fails with overflow, and a unit after it or
// blanks before it change nothing. What it read, and any eight input bytes
// taken as a double, write as a text that both readers read back alike and
// that writes again to itself.

#include "numeric/failure.h"
#include "numeric/number_text.h"

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
    if (size == sizeof(double)) {
        double bits;
        std::memcpy(&bits, data, sizeof bits);
        if (std::isfinite(bits))
            writeAndReadBack(bits);
    }
    return 0;
}
