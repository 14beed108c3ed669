// Prints what the core makes of many generated inputs, one line each: the
// native build and the WebAssembly build must print the same lines. Inputs
// come from a generator of whole numbers only, so both builds see the same
// bits whatever their C libraries.
//   core_sweep numbers|tendons COUNT [N]
// prints a 64-bit hash of each line, or with N that one line in full.
//   core_sweep rules
// holds the number-text rules to their table: prints each row that differs,
// and fails if any does.

#include "numeric/arithmetic.h"
#include "numeric/decimal.h"
#include "numeric/failure.h"
#include "numeric/number_rules.h"
#include "numeric/number_text.h"
#include "schedule/csv.h"
#include "schedule/schedule.h"

#include <array>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Random {
    std::uint64_t state;
    std::uint64_t next()
    {
        std::uint64_t z = (state += 0x9E3779B97F4A7C15);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EB;
        return z ^ (z >> 31);
    }
    long below(long n) { return long(next() % std::uint64_t(n)); }
    long between(long low, long high) { return low + below(high - low + 1); }
};

std::string bits(double value)
{
    char text[24];
    std::uint64_t n = 0;
    std::memcpy(&n, &value, sizeof n);
    std::snprintf(text, sizeof text, "%016" PRIx64, n);
    return text;
}

template <class F>
std::string attempt(F f)
{
    try {
        return f();
    } catch (const numeric::Failure &failure) {
        return "failure " + std::to_string(int(failure.kind()));
    }
}

// A decimal text: up to 17 digits, a point somewhere, an exponent often.
std::string decimalText(Random &r)
{
    std::string text = r.below(4) ? "" : "-";
    const long digits = r.between(1, 17), point = r.between(0, digits);
    for (long i = 0; i < digits; ++i) {
        if (i == point && i)
            text += '.';
        text += char('0' + (i == 0 && r.below(5) ? r.between(1, 9) : r.below(10)));
        if (r.below(7) == 0)
            text += '9';
    }
    if (r.below(2))
        text += "E" + std::to_string(r.between(-30, 30));
    return text;
}

std::string numberLine(std::uint64_t seed)
{
    Random r{seed};
    double value = 0;
    if (r.below(3)) {
        const std::uint64_t n = r.next();
        std::memcpy(&value, &n, sizeof value);
    } else {
        const std::string text = decimalText(r);
        try {
            value = numeric::readNumber(text);
        } catch (const numeric::Failure &) {
        }
    }
    const std::string text = decimalText(r);
    return attempt([&] { return numeric::writeNumber(value); }) + " " + attempt([&] { return bits(numeric::heldAsText(value)); })
           + " " + attempt([&] { return bits(numeric::readNumber(text)); }) + " "
           + attempt([&] { return bits(numeric::readNumberText(numeric::writeNumber(value))); });
}

std::string decimal(Random &r, long low, long high, int places)
{
    long scale = 1;
    for (int i = 0; i < places; ++i)
        scale *= 10;
    const long n = r.between(low * scale, high * scale);
    std::string text = std::to_string(n / scale);
    if (places) {
        std::string fraction = std::to_string(n % scale);
        text += "." + std::string(std::size_t(places) - fraction.size(), '0') + fraction;
    }
    return text;
}

// A ratio from low to high thousandths, often with more digits: "0.125",
// "0.1253871".
std::string ratio(Random &r, long low, long high)
{
    const std::string n = std::to_string(r.between(low, high));
    std::string text = "0." + std::string(3 - n.size(), '0') + n;
    for (long more = r.below(2) ? r.between(1, 9) : 0; more > 0; --more)
        text += char('0' + r.below(10));
    return text;
}

std::string tendonLine(std::uint64_t seed)
{
    Random r{seed};
    schedule::Record record;
    auto &f = record.fields;
    const bool c4 = r.below(3) != 0;
    f[schedule::input::name] = "T" + std::to_string(seed);
    f[schedule::input::profile] = c4 ? "C4" : "C2a";
    f[schedule::input::e1] = decimal(r, 40, 300, r.below(8) ? 0 : 1);
    f[schedule::input::e2] = decimal(r, 40, 300, 0);
    f[schedule::input::lc] = decimal(r, 2000, 33000, int(r.below(3)));
    f[schedule::input::lg1] = decimal(r, 250, 2500, r.below(4) ? 0 : 1);
    if (c4) {
        f[schedule::input::e3] = decimal(r, 40, 300, 0);
        f[schedule::input::k1] = ratio(r, 30, 250);
        f[schedule::input::k2] = ratio(r, 300, 720);
        f[schedule::input::k3] = ratio(r, 30, 250);
    } else {
        f[schedule::input::lg2] = decimal(r, 0, 3000, 0);
    }
    if (r.below(2))
        f[schedule::input::ends] = r.below(2) ? "1" : "2";
    if (r.below(3) == 0)
        f[schedule::input::duct] = std::array{"metal", "plastic", "steel", "unbonded"}[std::size_t(r.below(4))];
    if (r.below(3) == 0)
        f[schedule::input::sigmaCon] = decimal(r, 900, 1395, 1);
    std::string line;
    schedule::appendRecord(line, schedule::evaluate(record), ',');
    return line;
}

std::uint64_t hash(const std::string &text)
{
    std::uint64_t h = 0xCBF29CE484222325;
    for (unsigned char c : text)
        h = (h ^ c) * 0x100000001B3;
    return h;
}

// A rule applied as the table names it: a number read back bit for bit
// against the table's shortest form, or the failure's kind.
std::string applied(const testing::NumberRule &row, double &value)
{
    constexpr const char *kinds[]{"overflow", "division by zero", "invalid operation", "invalid argument"};
    const std::string rule = row.rule, input = row.input;
    const auto number = [](const std::string &text) -> double {
        double v = 0;
        if (text == "inf" || text == "nan")
            return text == "inf" ? INFINITY : NAN;
        numeric::readDecimal(text.data(), text.data() + text.size(), v);
        return v;
    };
    try {
        if (rule == "read")
            value = numeric::readNumber(input);
        else if (rule == "back")
            value = numeric::readNumberText(input);
        else if (rule == "divide")
            value = numeric::divide(number(input.substr(0, input.find(' '))), number(input.substr(input.find(' ') + 1)));
        else if (rule == "write")
            return numeric::writeNumber(number(input));
        else if (rule == "shortest")
            return numeric::writeShortest(number(input));
        else if (rule == "whole")
            return numeric::writeShort(numeric::roundToShort(number(input)));
        return "";
    } catch (const numeric::Failure &failure) {
        return kinds[int(failure.kind())];
    }
}

int rules()
{
    int wrong = 0;
    for (const testing::NumberRule &row : testing::numberRules) {
        double value = 0;
        const std::string shown = applied(row, value);
        bool same = shown == row.expected;
        if (shown.empty()) { // a number: the same bits as the table's
            double expected = 0;
            const std::string text = row.expected;
            numeric::readDecimal(text.data(), text.data() + text.size(), expected);
            same = std::memcmp(&value, &expected, sizeof value) == 0;
        }
        if (!same) {
            std::printf("%s: %s \"%s\" gives %s, not %s\n", row.name, row.rule, row.input,
                        shown.empty() ? bits(value).c_str() : shown.c_str(), row.expected);
            ++wrong;
        }
    }
    return wrong ? 1 : 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 2 && std::strcmp(argv[1], "rules") == 0)
        return rules();
    if (argc < 3)
        return 2;
    const bool tendons = std::strcmp(argv[1], "tendons") == 0;
    const long count = std::atol(argv[2]);
    const auto line = [&](long n) { return tendons ? tendonLine(std::uint64_t(n)) : numberLine(std::uint64_t(n)); };
    if (argc > 3) {
        std::puts(line(std::atol(argv[3])).c_str());
        return 0;
    }
    std::string out;
    for (long n = 0; n < count; ++n) {
        char text[20];
        std::snprintf(text, sizeof text, "%016" PRIx64 "\n", hash(line(n)));
        out += text;
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
}
