#pragma once

// Stressing a tendon: the friction along it, the stress it leaves at the far
// end or at the point where the two jacks' friction meets, and the elongation
// to check at each jack.
//
// The tendon is taken as pieces, from the left end, each with a length L (mm)
// and the change θ (rad) of the tangent's direction along it. Along a piece
// the friction grows as z = κ·L/1000 + μ·θ (κ per metre), the stress falls
// from σin to σin·e^-z, and the strand stretches by σin·(1 - e^-z)/z · L/Ep,
// the exact friction integral when z grows evenly along the piece.

#include "calc/tendon.h"

#include <vector>

namespace calc {

struct Piece {
    double length; // mm
    double theta;  // rad
};

// C4: its four segments, L their whole-mm lengths and θ = atan(2·a·x).
// C2a: segment 1, at mid-span a kink of no length turning by the difference
// of the two tangents (0 where the parabolas are tangent), then segment 2.
std::vector<Piece> tensioningPieces(const Tendon &tendon);

struct Duct {
    double kappa, mu;
};

struct PieceStress {
    double z, sigmaIn, sigmaOut, elongation; // elongation in mm, stresses in MPa
};

struct Tensioning {
    // As stressed from the left, then (two jacks) from the right up to where
    // they meet; none listed for two jacks on a tendon with no friction.
    std::vector<PieceStress> pieces;
    double theta = 0;                // the pieces' angles summed
    double sigmaFar = 0;             // at the right end, or at the dividing point
    double divide = 0;               // where the two jacks' friction meets, mm from the left
    double elongLeft = 0, elongRight = 0;
};

// ends: 1 jacks at the left end only, 2 at both ends, each at sigmaCon. Each
// jack's elongation adds sigmaCon·jack/Ep for the strand inside the jack.
Tensioning tension(const std::vector<Piece> &pieces, Duct duct, double sigmaCon, int ends, double ep,
                   double jack);

} // namespace calc
