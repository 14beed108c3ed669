#pragma once

#include "calc/window_view.h"

namespace calc {

// The parabola equations y = a x^2 of the selected profile's segments, from
// the parameter boxes, into the coefficient boxes: a1, a2 for C2a (the other
// two marked " 无此方程 "), a1..a4 for C4. Each coefficient is written as
// soon as it is known, so a failure leaves those before it in place.
void computeCoefficients(WindowView &view);

} // namespace calc
