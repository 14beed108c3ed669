#pragma once

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

} // namespace calc
