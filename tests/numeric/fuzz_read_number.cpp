// libFuzzer target: reading a number from any text. It must never crash, never
// return an infinity or a NaN, fail only with overflow, and stop at the first
// character that cannot continue the number.

#include "numeric/failure.h"
#include "numeric/number_text.h"

#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace {

std::optional<double> read(std::string_view text)
{
    try {
        return numeric::readNumber(text);
    } catch (const numeric::Failure &failure) {
        if (failure.kind() != numeric::FailureKind::Overflow)
            __builtin_trap();
        return std::nullopt;
    }
}

bool same(std::optional<double> a, std::optional<double> b)
{
    if (!a || !b)
        return !a && !b;
    return std::bit_cast<std::uint64_t>(*a) == std::bit_cast<std::uint64_t>(*b);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    const std::optional<double> value = read(text);
    if (value && !std::isfinite(*value))
        __builtin_trap();

    // A unit typed after the number, or blanks before it, change nothing.
    if (!same(value, read(text + "mm")) || !same(value, read(" \t\n" + text)))
        __builtin_trap();
    return 0;
}
