#pragma once

// A continuous tendon: one strand through several spans, from its left end to
// its right end, each span an atlas profile worked out on its own exactly as
// the window works out one. Every segment of C2a and C4 has its vertex at a
// span end or at the lowest point, so spans meet with a level tangent and the
// strand turns through no angle at a support; its pieces are the spans'
// pieces end to end, stressed as one tendon.

#include "calc/tensioning.h"

#include <cstdint>
#include <span>
#include <vector>

namespace calc {

// Where two spans meet, the tendon's depth below the top face at the left
// span's right end (C4: e3; C2a: lg1 - e2) and at the right span's left end
// (e1). They should be the same; a difference is a step in the duct.
struct Support {
    std::size_t left; // the span on its left, from 0
    double leftBelowTop, rightBelowTop;
    bool stepped() const { return leftBelowTop - rightBelowTop > 1 || rightBelowTop - leftBelowTop > 1; }
};

struct ContinuousTendon {
    std::vector<double> starts; // each span's left end, mm from the tendon's, and the tendon's right end
    std::vector<Piece> pieces;  // the spans' pieces in order, runs measured from the tendon's left end
    std::int64_t length = 0;    // the spans' lengths added: no limit on the whole
    std::vector<Support> supports;
};

// The spans, each computed through its length, as one tendon.
ContinuousTendon continuousTendon(std::span<const Tendon *const> spans);

} // namespace calc
