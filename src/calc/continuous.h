#pragma once

// A continuous tendon: one strand through several spans, from its left end to
// its right end, each span an atlas profile worked out on its own exactly as
// the window works out one. Every segment of C2a and C4 has its vertex at a
// span end or at the lowest point, so spans meet with a level tangent and the
// strand turns through no angle at a support; its pieces are the spans'
// pieces end to end, stressed as one tendon.

#include "calc/tensioning.h"

#include <span>
#include <vector>

namespace calc {

// The spans, each computed through its length.
using Spans = std::span<const Tendon *const>;

// Where each span starts, mm from the tendon's left end, and after the last
// the tendon's right end: the spans' beam lengths lc added up.
std::vector<double> spanStarts(Spans spans);

// The spans' pieces in order, each horizontal run measured from the tendon's
// left end.
std::vector<Piece> continuousPieces(Spans spans);

// The strand through every span, whole millimetres: the spans' lengths
// added, with no short-integer limit on the whole (each span keeps its own).
long continuousLength(Spans spans);

// Where two spans meet, the tendon's depth below the top face at the left
// span's right end (C4: e3; C2a: lg1 - e2) and at the right span's left end
// (e1). They should be the same; a difference is a step in the duct.
struct Support {
    std::size_t left; // the span on its left, from 0
    double leftBelowTop, rightBelowTop;
    bool stepped() const { return leftBelowTop - rightBelowTop > 1 || rightBelowTop - leftBelowTop > 1; }
};
std::vector<Support> supports(Spans spans);

} // namespace calc
