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

#include <array>
#include <string_view>
#include <vector>

namespace calc {

struct Piece {
    double length;            // mm
    double theta;             // rad
    double from = 0, to = 0;  // its horizontal run, mm from the left end (none for a kink)
};

// C4: its four segments, L their whole-mm lengths and θ = |atan(2·a·x)|.
// C2a: segment 1, at mid-span a kink of no length turning by the difference
// of the two tangents (0 where the parabolas are tangent), then segment 2.
std::vector<Piece> tensioningPieces(const Tendon &tendon);

struct Duct {
    double kappa, mu; // κ per metre of duct, μ per radian
    // The friction of a piece, z = κ·L/1000 + μ·θ (GB 50010, 10.2.4): the
    // stress after it is σ·e^−z.
    double friction(const Piece &piece) const { return kappa * piece.length / 1000 + mu * piece.theta; }
};

// The ducts strands are laid in, with their friction coefficients (GB 50010,
// table 10.2.4), by the names a schedule gives them.
struct DuctKind {
    std::string_view name, chinese;
    Duct duct;
    bool bonded; // grouted after stressing
};
// nullptr for a name that is none of them; English names in any case.
const DuctKind *ductNamed(std::string_view name);
std::string_view ductNames(); // "metal, plastic, steel, unbonded"

// Which ends of a tendon are jacked: the left alone, the right alone, or both.
enum class Ends { left, right, both };
inline int jackedEnds(Ends ends) { return ends == Ends::both ? 2 : 1; }
// Whether the end (0 left, 1 right) is jacked.
inline bool jackedAt(Ends ends, int end) { return ends == Ends::both || (end == 0) == (ends == Ends::left); }

struct PieceStress {
    enum Jack { left, right } jack;
    std::size_t piece;    // which of the tendon's pieces, from the left end
    double length, theta; // of the piece, or of its share up to where two jacks meet
    double z, sigmaIn, sigmaOut, elongation; // elongation in mm, stresses in MPa
};

struct Tensioning {
    // As stressed from the left, then from the right up to where the jacks
    // meet; the piece holding that point counts in each with its share.
    std::vector<PieceStress> pieces;
    double theta = 0;                // the pieces' angles summed
    double sigmaFar = 0;             // at the dead end, or at the dividing point
    double divide = 0;               // where the left jack's part ends, mm along the strand from the left end
    double elongLeft = 0, elongRight = 0; // 0 at an end not jacked
};

// The stress along the tendon as drawn: for each jack, points (x mm from
// the left end, σ MPa) from its end to where its part ends, `samples` to a
// piece as σ falls with z growing evenly along it. `divide` is where the left
// jack's part ends, on the horizontal (the right end where only the left is
// jacked, the left end where only the right is).
struct StressPoint {
    double x, sigma;
};
struct StressAlong {
    std::array<std::vector<StressPoint>, 2> jack; // left, right (empty where not jacked)
    double divide = 0;
};

// Each jack at sigmaCon; each jack's elongation adds sigmaCon·jack/Ep for
// the strand inside the jack.
Tensioning tension(const std::vector<Piece> &pieces, Duct duct, double sigmaCon, Ends ends, double ep,
                   double jack);

StressAlong stressAlong(const std::vector<Piece> &pieces, const Tensioning &tensioning, int samples);

} // namespace calc
