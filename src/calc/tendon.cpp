#include "calc/tendon.h"

#include "calc/messages.h"
#include "numeric/arithmetic.h"
#include "numeric/number_text.h"

#include <initializer_list>

namespace calc {

namespace {

using numeric::add;
using numeric::divide;
using numeric::heldAsText;
using numeric::multiply;
using numeric::naturalLog;
using numeric::power;
using numeric::subtract;

struct ParameterRule {
    std::string_view name, prompt;
    bool whole; // offsets and the beam length: whole millimetres
};

constexpr std::array<ParameterRule, parameter::count> rules{{
    {"e1", prompt::e1, true},
    {"e2", prompt::e2, true},
    {"e3", prompt::e3, true},
    {"k1", prompt::k1, false},
    {"k2", prompt::k2, false},
    {"k3", prompt::k3, false},
    {"lc", prompt::lc, true},
    {"lg1", prompt::lg1, false},
    {"lg2", prompt::lg2, false},
}};

constexpr std::array c2aAsked{parameter::e1, parameter::e2, parameter::lc, parameter::lg1, parameter::lg2};
constexpr std::array c4Asked{parameter::e1, parameter::e2, parameter::e3, parameter::k1,
                             parameter::k2, parameter::k3, parameter::lc, parameter::lg1};

// A quantity read from its text; a text that cannot be read names the
// quantity and the text.
template <class Read>
auto reading(std::string_view text, std::string_view name, bool whole, Read read)
{
    try {
        return read(text);
    } catch (const numeric::Failure &failure) {
        throw numeric::Failure(failure.kind(), valueOutOfRange(name, text, whole));
    }
}

double real(std::string_view text, std::string_view name)
{
    return reading(text, name, false, [](std::string_view t) { return numeric::readNumber(t); });
}

double held(std::string_view text, std::string_view name)
{
    return reading(text, name, false,
                   [](std::string_view t) { return numeric::heldAsText(numeric::readNumber(t)); });
}

// Beam heights are rounded to whole millimetres, halves to even, so a
// fractional height typed by hand is honoured the way the prompt would have
// rounded it.
std::int16_t whole(std::string_view text, std::string_view name)
{
    return reading(text, name, true,
                   [](std::string_view t) { return numeric::roundToShort(numeric::readNumber(t)); });
}

// Each formula is evaluated left to right in named steps: where two parts of
// a formula would both fail, the one an engineer reads first is reported.
void coefficient(Coefficients &out, bool c4, auto formula)
{
    const int segment = out.known + 1;
    const double a = numeric::withContext(formula, [&] { return coefficientFailed(segment, c4); });
    out.text[std::size_t(out.known++)] = numeric::writeNumber(a);
}

// Two reversed parabolas tangent at mid-span. Measured up from the bottom
// face, parabola 1 falls from lg1 - e1 at the left end to lg1 / 2 at mid-span,
// parabola 2 rises from e2 at the right end to (lg1 + lg2) / 2.
void c2aCoefficients(const HeldParameters &p, Coefficients &out)
{
    coefficient(out, false, [&] {
        const double rise = subtract(p.lg1 / 2.0, p.e1);
        return divide(rise, power(multiply(p.lc, 0.5), 2));
    });
    const std::int16_t s = numeric::withContext(
        [&] { return numeric::addShort(p.lg2, p.lg1); }, [] { return heightsOutOfRange(); });
    coefficient(out, false, [&] {
        const double rise = subtract(s / 2.0, p.e2);
        return divide(rise, power(multiply(p.lc, 0.5), 2));
    });
    out.text[2] = out.text[3] = placeholder::noEquation;
    out.known = 4;
}

// Four parabolas, each with its vertex at an end or at the lowest point. The
// two between an end and the lowest point share that side's drop, D1 on the
// left and D2 on the right, in proportion to their horizontal lengths, which
// makes them tangent at the inflection point. The drops are formed within
// each coefficient, so a failure is reported at the coefficient that needed it.
void c4Coefficients(const HeldParameters &p, Coefficients &out)
{
    const auto d1 = [&] { return subtract(subtract(p.lg1, p.e1), p.e2); };
    const auto d2 = [&] { return subtract(subtract(p.lg1, p.e2), p.e3); };
    coefficient(out, true, [&] {
        const double ratio = divide(p.k1, p.k2);
        const double drop = multiply(ratio, d1());
        return divide(drop, power(multiply(p.lc, p.k1), 2));
    });
    coefficient(out, true, [&] {
        const double drop = d1();
        const double share = subtract(1, divide(p.k1, p.k2));
        const double part = multiply(drop, share);
        return divide(part, power(multiply(p.lc, subtract(p.k2, p.k1)), 2));
    });
    coefficient(out, true, [&] {
        const double drop = d2();
        const double share = subtract(1, divide(p.k3, subtract(1, p.k2)));
        const double part = multiply(drop, share);
        return divide(part, power(multiply(p.lc, subtract(subtract(1, p.k2), p.k3)), 2));
    });
    coefficient(out, true, [&] {
        const double drop = d2();
        const double share = divide(p.k3, subtract(1, p.k2));
        const double part = multiply(drop, share);
        return divide(part, power(multiply(p.lc, p.k3), 2));
    });
}

// A segment's horizontal length, held as number text, with the condition on
// the parameters that keeps it from being negative.
struct Run {
    double x;
    std::string_view rule;
};

Run run(int segment, std::string_view rule, auto formula)
{
    const double x = numeric::withContext(
        [&] { return heldAsText(formula()); },
        [&](numeric::FailureKind kind) { return segmentFailed(segment, kind); });
    return {x, rule};
}

// The parabola parameters p = 1 / (a x 2), so that segment i is x^2 = 2 p y,
// held as number text, all formed before any horizontal length. A coefficient
// of 0 (also an empty box or a placeholder) fails here with division by zero.
template <std::size_t N>
std::array<double, N> parabolaParameters(const std::array<double, N> &a)
{
    std::array<double, N> p{};
    for (std::size_t i = 0; i < N; ++i)
        p[i] = numeric::withContext([&] { return heldAsText(divide(1, multiply(a[i], 2))); },
                                    [&] { return parameterFailed(int(i) + 1); });
    return p;
}

// A segment's length in whole millimetres. A negative horizontal length would
// give a negative length that silently shortens the strand: it is refused,
// naming the condition the parameters break. A horizontal length of exactly 0
// is a segment of 0 mm.
void addSegment(StrandLength &out, const Run &run, double p, Limits limits)
{
    const int segment = int(out.segments.size()) + 1;
    if (run.x < 0) {
        throw numeric::Failure(numeric::FailureKind::InvalidArgument,
                               negativeHorizontalLength(segment, numeric::writeNumber(run.x), run.rule));
    }
    const double length = numeric::withContext(
        [&] { return segmentLength(run.x, p); },
        [&](numeric::FailureKind kind) { return segmentFailed(segment, kind); });
    const bool window = limits == Limits::window;
    const std::int32_t millimetres = numeric::withContext(
        [&] { return window ? numeric::roundToShort(length) : numeric::roundToLong(length); },
        [&] { return segmentTooLong(segment, window ? shortRange : longRange); });
    out.beyondWindow = out.beyondWindow || !numeric::fitsShort(millimetres);
    out.segments.push_back({run.x, p, millimetres});
}

// The window adds whole millimetres as short integers, in the order its
// formula reads them: a strand beyond 32767 mm cannot be computed there. A
// schedule adds them without a limit.
void addUp(StrandLength &out, std::initializer_list<std::size_t> order, Limits limits)
{
    std::int64_t total = 0;
    std::int16_t held = 0;
    for (std::size_t i : order) {
        total += out.segments[i].millimetres;
        if (limits == Limits::window)
            held = numeric::withContext([&] { return numeric::addShort(held, std::int16_t(out.segments[i].millimetres)); },
                                        [] { return strandTooLong(); });
    }
    out.beyondWindow = out.beyondWindow || !numeric::fitsShort(double(total));
    out.total = total;
}

// Both halves of C2a run between the inflection point and an end, k2 x lc long.
void c2aLength(const LengthInputs &in, StrandLength &out, Limits limits)
{
    const double k2 = real(in.k2, "k2");
    const double lc = real(in.lc, "lc");
    const std::array a{real(in.a[0], "a1"), real(in.a[1], "a2")};

    const auto p = parabolaParameters(a);
    constexpr std::string_view rule = "lc 与 k2 不得为负";
    const Run x1 = run(1, rule, [&] { return multiply(lc, k2); });
    const Run x2 = run(2, rule, [&] { return multiply(lc, k2); });
    addSegment(out, x1, p[0], limits);
    addSegment(out, x2, p[1], limits);
    addUp(out, {1, 0}, limits);
}

// C4 runs from the left end to the left inflection point (k1 x lc), on to the
// lowest point (k2 x lc), on to the right inflection point (k3 x lc before the
// right end) and on to the right end.
void c4Length(const LengthInputs &in, StrandLength &out, Limits limits)
{
    const double k1 = real(in.k1, "k1");
    const double k2 = real(in.k2, "k2");
    const double k3 = real(in.k3, "k3");
    const double lc = real(in.lc, "lc");
    const std::array a{real(in.a[0], "a1"), real(in.a[1], "a2"), real(in.a[2], "a3"), real(in.a[3], "a4")};

    const auto p = parabolaParameters(a);
    const Run x1 = run(1, "lc 与 k1 不得为负", [&] { return multiply(lc, k1); });
    const Run x2 = run(2, "k1 不得大于 k2", [&] {
        const double toLowest = multiply(lc, k2);
        return subtract(toLowest, multiply(lc, k1));
    });
    const Run x3 = run(3, "k2 + k3 不得大于 1", [&] {
        const double beyondLowest = subtract(lc, multiply(lc, k2));
        return subtract(beyondLowest, multiply(lc, k3));
    });
    const Run x4 = run(4, "lc 与 k3 不得为负", [&] { return multiply(lc, k3); });
    addSegment(out, x1, p[0], limits);
    addSegment(out, x2, p[1], limits);
    addSegment(out, x3, p[2], limits);
    addSegment(out, x4, p[3], limits);
    addUp(out, {1, 0, 2, 3}, limits);
}

} // namespace

std::string_view parameterName(int parameter) { return rules.at(std::size_t(parameter)).name; }

std::string_view parameterPrompt(int parameter) { return rules.at(std::size_t(parameter)).prompt; }

std::span<const int> askedParameters(Profile profile)
{
    if (profile == Profile::c2a)
        return c2aAsked;
    return c4Asked;
}

ParameterTexts parametersBeforeEntry(Profile profile)
{
    ParameterTexts texts;
    if (profile == Profile::c2a) {
        texts[parameter::e3] = texts[parameter::k1] = texts[parameter::k3] = placeholder::noValue;
        texts[parameter::k2] = "0.5";
    } else {
        texts[parameter::lg2] = placeholder::noValue;
    }
    return texts;
}

std::string enteredText(int parameter, std::string_view answer, Limits limits)
{
    const ParameterRule &rule = rules.at(std::size_t(parameter));
    const bool window = limits == Limits::window;
    try {
        const double value = numeric::readNumber(answer);
        if (rule.whole)
            return window ? numeric::writeShort(numeric::roundToShort(value)) : std::to_string(numeric::roundToLong(value));
        return numeric::writeNumber(value);
    } catch (const numeric::Failure &failure) {
        throw numeric::Failure(failure.kind(),
                               answerOutOfRange(rule.name, answer, rule.whole, window ? shortRange : longRange));
    }
}

HeldParameters readParameters(const ParameterTexts &t)
{
    using namespace parameter;
    HeldParameters p;
    p.e1 = held(t[e1], "e1");
    p.e2 = held(t[e2], "e2");
    p.e3 = held(t[e3], "e3");
    p.k1 = held(t[k1], "k1");
    p.k2 = held(t[k2], "k2");
    p.k3 = held(t[k3], "k3");
    p.lc = held(t[lc], "lc");
    p.lg1 = whole(t[lg1], "lg1");
    p.lg2 = whole(t[lg2], "lg2");
    return p;
}

void computeEquations(Profile profile, const HeldParameters &held, Coefficients &out)
{
    if (profile == Profile::c2a)
        c2aCoefficients(held, out);
    else
        c4Coefficients(held, out);
}

void computeLength(Profile profile, const LengthInputs &inputs, StrandLength &out, Limits limits)
{
    if (profile == Profile::c2a)
        c2aLength(inputs, out, limits);
    else
        c4Length(inputs, out, limits);
}

double segmentLength(double x, double p)
{
    // Written as the antiderivative at x less its value at the vertex, step by
    // step and in this order; the root r is formed afresh where it is used.
    const auto r = [&] {
        const double pp = power(p, 2);
        return power(add(pp, power(x, 2)), 0.5);
    };
    const double t1 = naturalLog(divide(add(x, r()), p));
    const double t0 = naturalLog(divide(power(power(p, 2), 0.5), p)); // ln 1 = 0 for p > 0
    const double slope = divide(x, add(p, p));
    const double u = multiply(slope, r());
    const double m = add(multiply(multiply(p, 0.5), t1), u);
    return subtract(m, multiply(multiply(p, 0.5), t0));
}

Tendon computeTendon(Profile profile, const ParameterTexts &answers, Limits limits)
{
    Tendon t;
    t.profile = profile;
    t.parameters = parametersBeforeEntry(profile);
    try {
        ParameterTexts entered = t.parameters;
        for (int asked : askedParameters(profile)) {
            t.failedParameter = asked;
            entered[std::size_t(asked)] = enteredText(asked, answers[std::size_t(asked)], limits);
            if (limits == Limits::schedule && rules[std::size_t(asked)].whole)
                t.beyondWindow = t.beyondWindow || !numeric::fitsShort(numeric::readNumber(entered[std::size_t(asked)]));
        }
        t.failedParameter = -1;
        t.parameters = std::move(entered);
        t.stage = Stage::equations;
        computeEquations(profile, readParameters(t.parameters), t.coefficients);
        t.stage = Stage::length;
        using namespace parameter;
        computeLength(profile, {t.parameters[k1], t.parameters[k2], t.parameters[k3], t.parameters[lc],
                                t.coefficients.text}, t.length, limits);
        t.beyondWindow = t.beyondWindow || t.length.beyondWindow;
    } catch (const numeric::Failure &failure) {
        t.failure = failure;
    }
    return t;
}

} // namespace calc
