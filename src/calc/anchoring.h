#pragma once

// Anchoring: when the jack lets go the wedges seat and the strand draws back
// into the anchor by `set` mm. Friction acting the other way keeps the loss
// to a length lf from the anchor (GB 50010, 10.2.2, 10.2.3 and appendix J).
//
// Along a piece the stress from a jack falls as σ = σcon·e^-z, z growing
// evenly along the strand, so ln σ is straight in s (mm along the strand).
// Reverse friction with the same κ and μ reflects ln σ about its value at lf:
// σafter(s) = σ(lf)²/σ(s) within lf. lf is where the shortening over it,
// ∫(σ − σafter) ds / Ep, equals the draw-in; both integrals are exact on
// every piece, and lf is solved to well under a micrometre.

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

struct Anchoring {
    // How the set zones were found:
    // - withinReach: each within its own jack's part of the tendon;
    // - wholeLength: one jack, lf beyond the dead end: the whole strand draws
    //   back, the stress after anchoring keeping reverse friction's shape
    //   from the far end, lowered until the shortening equals the draw-in;
    // - eachAlone: two jacks, a set zone past the meeting point: each end
    //   taken as jacked and anchored alone, at each point the larger stress.
    enum Rule { withinReach, wholeLength, eachAlone } rule = withinReach;
    double set = 0;                 // mm
    std::array<double, 2> lf{};     // mm along the strand from the left and the right anchor (right 0 with one jack)
    std::array<double, 2> loss{};   // σl1 at each anchor, MPa
    bool slack = false;             // the draw-in exceeds the whole strand's stretch: no stress is left
    double lowest = 0, lowestAt = 0; // the lowest stress after anchoring, MPa, and where, mm along the strand
    std::vector<StressRun> before, after; // from the left end to the right end
    double length = 0;              // of the strand, mm
};

// The tendon as tensioned, anchored at each jacked end with a draw-in of
// `set` mm.
Anchoring anchor(const std::vector<Piece> &pieces, Duct duct, double sigmaCon, int ends, double ep, double set,
                 const Tensioning &tensioning);

// The stress after anchoring drawn along the tendon: points (x mm from its
// left end, σ MPa), `samples` to a run; and where mm along the strand falls
// on the horizontal.
// The stress of runs at s mm along the strand (at a kink, the stress before it).
double stressAt(const std::vector<StressRun> &runs, double s);
std::vector<StressPoint> anchoredAlong(const std::vector<Piece> &pieces, const Anchoring &anchoring, int samples);
double horizontalAt(const std::vector<Piece> &pieces, double along);

} // namespace calc
