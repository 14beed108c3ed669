#pragma once

// The window's calculation handlers over the tendon core: each reads the box
// texts it needs, in the order the window reads them, hands them to the core
// and writes the core's results into the boxes. What a step computed before a
// failure is written before the failure leaves; the status line moves on only
// when the step is done.

#include "calc/window_view.h"

namespace calc {

// Selecting C2a: marks the boxes C2a does not use (k2 is fixed at 0.5, the
// inflection point at mid-span), asks e1, e2, lc, lg1 and lg2, writes the
// answers and points the engineer to the parabola equations. The coefficient
// and length boxes keep what an earlier calculation left there.
void enterC2a(WindowView &view);

// Selecting C4: empties the parameter and coefficient boxes, marks lg2 unused,
// asks e1, e2, e3, k1, k2, k3, lc and lg1, writes the answers and points the
// engineer to the parabola equations. The length box is left alone.
void enterC4(WindowView &view);

// The parabola equations y = a x^2 of the selected profile's segments, from
// the parameter boxes, into the coefficient boxes: a1, a2 for C2a (the other
// two marked " 无此方程 "), a1..a4 for C4. The parameter boxes are read
// whatever profile is selected; with none selected nothing is written.
void computeCoefficients(WindowView &view);

// The strand length of the selected profile in whole millimetres, into the
// result box. The result box is emptied first, so after a failure it shows
// nothing rather than an old length.
void computeStrandLength(WindowView &view);

} // namespace calc
