#pragma once

// Anchoring: when the jack lets go the wedges seat and the strand draws back
// into the anchor by `set` mm. Friction acting the other way keeps the loss
// to a length lf from the anchor (GB 50010, 10.2.2, 10.2.3 and appendix J).
//
// Along a piece the stress from a jack falls as σ = σcon·e^-z, z growing
// evenly along the strand, so ln σ is straight in s (mm along the strand).
// Where the strand draws back towards an anchor, reverse friction with the
// same κ and μ makes the stress after anchoring σa(s) = K/σj(s), σj the
// stress that anchor's jack gave: ln σa rises away from the anchor as fast as
// ln σj fell. The zone ends at lf, where σa meets the stress as it stood and
// the strand's shortening over it, ∫(σ − σa) ds / Ep, equals the draw-in;
// both integrals are exact on every piece, and lf is solved to well under a
// micrometre.
//
// Two jacks: GB 50010 treats one anchor at a time. Where the two set zones
// would reach each other, what happens depends on which wedges seat first,
// and is worked out here by the same mechanics:
// - together: one point x* of the strand does not move; each side of it
//   draws back towards its own anchor by the whole draw-in, the two stresses
//   after anchoring meeting at x*;
// - one end first, the other jack still holding σcon: a zone that would pass
//   the meeting point lets the strand slide through to the other jack, which
//   takes up the rest, leaving that jack's own one-end stress; the second end
//   then anchors on the stress as it stands, the first anchor a fixed end.

#include "calc/tensioning.h"

#include <array>
#include <vector>

namespace calc {

// A stretch of strand over which ln σ is straight: ln σ = ln0 + slope·(s − s0),
// s mm along the strand from the tendon's left end.
struct StressRun {
    double s0, s1, ln0, slope;
    double from() const;
    double to() const;
};

// Which end's wedges seat first, where both ends are jacked.
enum class LockOff { together, leftFirst, rightFirst };

struct Anchoring {
    // How an anchor's set zone ended:
    enum Reach {
        within,      // on the strand, short of anything else: the plain rule
        wholeLength, // at the far end (a dead end, or the anchor locked before): the whole strand drew back
        met,         // locked together with the other end, at the point x* that does not move
        slidThrough, // locked first, past the meeting point: slid through to the other jack
    };
    std::array<Reach, 2> reach{within, within}; // left, right anchor (unused where not jacked)
    double meeting = 0;           // x*, mm along the strand from the left end, where the zones met
    double set = 0;               // mm
    std::array<double, 2> lf{};   // mm along the strand from the left and the right anchor (the strand's length where the zone ran past it; 0 where not jacked)
    std::array<double, 2> loss{}; // σl1 at each anchor once both are locked, MPa (0 where not jacked)
    bool slack = false;           // the draw-in exceeds the strand's stretch: no stress is left somewhere
    double lowest = 0, lowestAt = 0; // the lowest stress after anchoring, MPa, and where, mm along the strand
    std::vector<StressRun> before, after; // from the left end to the right end
    double length = 0;            // of the strand, mm
};

// The tendon as tensioned, anchored at each jacked end with a draw-in of
// `set` mm, two ends in the order given.
Anchoring anchor(const std::vector<Piece> &pieces, Duct duct, double sigmaCon, Ends ends, LockOff order, double ep,
                 double set, const Tensioning &tensioning);

// The stress of runs at s mm along the strand (at a kink, the stress before it).
double stressAt(const std::vector<StressRun> &runs, double s);
// The stress after anchoring drawn along the tendon: points (x mm from its
// left end, σ MPa), `samples` to a run; and where mm along the strand falls
// on the horizontal.
std::vector<StressPoint> anchoredAlong(const std::vector<Piece> &pieces, const Anchoring &anchoring, int samples);
double horizontalAt(const std::vector<Piece> &pieces, double along);

} // namespace calc
