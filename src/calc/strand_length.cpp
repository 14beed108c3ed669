#include "calc/strand_length.h"

#include "calc/box_values.h"
#include "calc/messages.h"
#include "numeric/arithmetic.h"
#include "numeric/failure.h"
#include "numeric/number_text.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace calc {

namespace {

using numeric::add;
using numeric::divide;
using numeric::heldAsText;
using numeric::multiply;
using numeric::naturalLog;
using numeric::power;
using numeric::subtract;

// The coefficients a1..aN as their boxes show them (the reading rule alone:
// a coefficient typed over by hand is used as typed), in box order.
template <std::size_t N>
std::array<double, N> readCoefficients(const WindowView &view)
{
    std::array<double, N> a{};
    for (std::size_t i = 0; i < N; ++i)
        a[i] = readReal(view, box::a1 + int(i), "a" + std::to_string(i + 1));
    return a;
}

// The parabola parameters p = 1 / (a x 2), so that segment i is x^2 = 2 p y,
// held as number text. A coefficient of 0 (also an empty box or a
// placeholder) fails here with division by zero.
template <std::size_t N>
std::array<double, N> parabolaParameters(const std::array<double, N> &a)
{
    std::array<double, N> p{};
    for (std::size_t i = 0; i < N; ++i) {
        const int segment = int(i) + 1;
        p[i] = numeric::withContext([&] { return heldAsText(divide(1, multiply(a[i], 2))); },
                                    [&] { return parameterFailed(segment); });
    }
    return p;
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

// A segment's length in whole millimetres. A negative horizontal length would
// give a negative length that silently shortens the strand: it is refused,
// naming the condition the parameters break. A horizontal length of exactly 0
// is a segment of 0 mm.
std::int16_t segmentMillimetres(int segment, const Run &run, double p)
{
    if (run.x < 0) {
        throw numeric::Failure(
            numeric::FailureKind::InvalidArgument,
            negativeHorizontalLength(segment, numeric::writeNumber(run.x), run.rule));
    }
    const double length = numeric::withContext(
        [&] { return segmentLength(run.x, p); },
        [&](numeric::FailureKind kind) { return segmentFailed(segment, kind); });
    return numeric::withContext([&] { return numeric::roundToShort(length); },
                                [&] { return segmentTooLong(segment); });
}

// Whole millimetres are added as short integers: a strand beyond 32767 mm
// cannot be computed.
std::int16_t plus(std::int16_t a, std::int16_t b)
{
    return numeric::withContext([&] { return numeric::addShort(a, b); },
                                [] { return strandTooLong(); });
}

void showLength(WindowView &view, std::int16_t millimetres)
{
    view.setText(box::length, numeric::writeShort(millimetres));
    view.setText(box::status, status::readResult);
}

// Both halves of C2a run between the inflection point and an end, k2 x lc long.
void c2a(WindowView &view)
{
    const double k2 = readReal(view, box::k2, "k2");
    const double lc = readReal(view, box::lc, "lc");
    const auto a = readCoefficients<2>(view);

    const auto p = parabolaParameters(a);
    constexpr std::string_view rule = "lc 与 k2 不得为负";
    const Run x1 = run(1, rule, [&] { return multiply(lc, k2); });
    const Run x2 = run(2, rule, [&] { return multiply(lc, k2); });

    const std::int16_t l1 = segmentMillimetres(1, x1, p[0]);
    const std::int16_t l2 = segmentMillimetres(2, x2, p[1]);
    showLength(view, plus(l2, l1));
}

// C4 runs from the left end to the left inflection point (k1 x lc), on to the
// lowest point (k2 x lc), on to the right inflection point (k3 x lc before the
// right end) and on to the right end.
void c4(WindowView &view)
{
    const double k1 = readReal(view, box::k1, "k1");
    const double k2 = readReal(view, box::k2, "k2");
    const double k3 = readReal(view, box::k3, "k3");
    const double lc = readReal(view, box::lc, "lc");
    const auto a = readCoefficients<4>(view);

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

    const std::int16_t l1 = segmentMillimetres(1, x1, p[0]);
    const std::int16_t l2 = segmentMillimetres(2, x2, p[1]);
    const std::int16_t l3 = segmentMillimetres(3, x3, p[2]);
    const std::int16_t l4 = segmentMillimetres(4, x4, p[3]);
    showLength(view, plus(plus(plus(l2, l1), l3), l4));
}

} // namespace

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

void computeStrandLength(WindowView &view)
{
    view.setText(box::length, "");
    if (view.isSelected(profile::c2a))
        c2a(view);
    if (view.isSelected(profile::c4))
        c4(view);
}

} // namespace calc
