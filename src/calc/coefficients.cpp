#include "calc/coefficients.h"

#include "calc/box_values.h"
#include "calc/messages.h"
#include "numeric/arithmetic.h"
#include "numeric/failure.h"
#include "numeric/number_text.h"

#include <cstdint>

namespace calc {

namespace {

using numeric::divide;
using numeric::multiply;
using numeric::power;
using numeric::subtract;

struct Parameters {
    double e1, e2, e3, k1, k2, k3, lc;
    std::int16_t lg1, lg2;
};

// Every box is read, in box order, whatever the profile: a beam height that is
// no whole number within range fails even where the profile does not use it.
Parameters readParameters(const WindowView &view)
{
    Parameters p{};
    p.e1 = readHeld(view, box::e1, "e1");
    p.e2 = readHeld(view, box::e2, "e2");
    p.e3 = readHeld(view, box::e3, "e3");
    p.k1 = readHeld(view, box::k1, "k1");
    p.k2 = readHeld(view, box::k2, "k2");
    p.k3 = readHeld(view, box::k3, "k3");
    p.lc = readHeld(view, box::lc, "lc");
    // Beam heights are rounded to whole millimetres, halves to even, so a
    // fractional height typed by hand is honoured the way the prompt would
    // have rounded it.
    p.lg1 = readWhole(view, box::lg1, "lg1");
    p.lg2 = readWhole(view, box::lg2, "lg2");
    return p;
}

void writeCoefficient(WindowView &view, int segment, bool c4, auto formula)
{
    const double a = numeric::withContext(formula, [&] { return coefficientFailed(segment, c4); });
    view.setText(box::a1 + segment - 1, numeric::writeNumber(a));
}

// Two reversed parabolas tangent at mid-span. Measured up from the bottom
// face, parabola 1 falls from lg1 - e1 at the left end to lg1 / 2 at mid-span,
// parabola 2 rises from e2 at the right end to (lg1 + lg2) / 2.
//
// Each formula is evaluated left to right in named steps: where two parts of
// a formula would both fail, the one an engineer reads first is reported.
void c2a(WindowView &view, const Parameters &p)
{
    writeCoefficient(view, 1, false, [&] {
        const double rise = subtract(p.lg1 / 2.0, p.e1);
        return divide(rise, power(multiply(p.lc, 0.5), 2));
    });
    const std::int16_t s = numeric::withContext(
        [&] { return numeric::addShort(p.lg2, p.lg1); }, [] { return heightsOutOfRange(); });
    writeCoefficient(view, 2, false, [&] {
        const double rise = subtract(s / 2.0, p.e2);
        return divide(rise, power(multiply(p.lc, 0.5), 2));
    });
    view.setText(box::a3, placeholder::noEquation);
    view.setText(box::a4, placeholder::noEquation);
    view.setText(box::status, status::computeLength);
}

// Four parabolas, each with its vertex at an end or at the lowest point. The
// two between an end and the lowest point share that side's drop, D1 on the
// left and D2 on the right, in proportion to their horizontal lengths, which
// makes them tangent at the inflection point. The drops are formed within
// each coefficient, so a failure is reported at the coefficient that needed it.
void c4(WindowView &view, const Parameters &p)
{
    const auto d1 = [&] { return subtract(subtract(p.lg1, p.e1), p.e2); };
    const auto d2 = [&] { return subtract(subtract(p.lg1, p.e2), p.e3); };
    writeCoefficient(view, 1, true, [&] {
        const double ratio = divide(p.k1, p.k2);
        const double drop = multiply(ratio, d1());
        return divide(drop, power(multiply(p.lc, p.k1), 2));
    });
    writeCoefficient(view, 2, true, [&] {
        const double drop = d1();
        const double share = subtract(1, divide(p.k1, p.k2));
        const double part = multiply(drop, share);
        return divide(part, power(multiply(p.lc, subtract(p.k2, p.k1)), 2));
    });
    writeCoefficient(view, 3, true, [&] {
        const double drop = d2();
        const double share = subtract(1, divide(p.k3, subtract(1, p.k2)));
        const double part = multiply(drop, share);
        return divide(part, power(multiply(p.lc, subtract(subtract(1, p.k2), p.k3)), 2));
    });
    writeCoefficient(view, 4, true, [&] {
        const double drop = d2();
        const double share = divide(p.k3, subtract(1, p.k2));
        const double part = multiply(drop, share);
        return divide(part, power(multiply(p.lc, p.k3), 2));
    });
    view.setText(box::status, status::computeLength);
}

} // namespace

void computeCoefficients(WindowView &view)
{
    const Parameters parameters = readParameters(view);
    if (view.isSelected(profile::c2a))
        c2a(view, parameters);
    if (view.isSelected(profile::c4))
        c4(view, parameters);
}

} // namespace calc
