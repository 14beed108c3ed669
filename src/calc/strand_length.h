#pragma once

#include "calc/window_view.h"

namespace calc {

// Arc length of the parabola x^2 = 2 p y from its vertex to the horizontal
// distance x, before rounding: the antiderivative at x less its value at the
// vertex. Fails with invalid argument for p < 0 (no parabola opening up), and
// for p = 0 with division by zero (invalid operation when x is 0 as well).
double segmentLength(double x, double p);

// The strand length of the selected profile in whole millimetres, into the
// result box: the sum of its segments' arc lengths, each rounded to whole
// millimetres. The result box is emptied first, so after a failure it shows
// nothing rather than an old length.
void computeStrandLength(WindowView &view);

} // namespace calc
