#pragma once

// A tendon's profile along its beam, from its equations as written: the
// height of the tendon's centre above the beam's bottom face at a distance x
// from the left end, its slope, the key points, and the stations where the
// site sets the duct supports. Lengths in millimetres.
//
// Measured from the bottom face, with the coefficients as the equations show
// them:
//   C4   segment 1 (lg1 - e1) - a1 x^2          from the left end to k1 lc
//        segment 2 e2 + a2 (k2 lc - x)^2        on to the lowest point k2 lc
//        segment 3 e2 + a3 (x - k2 lc)^2        on to lc - k3 lc
//        segment 4 (lg1 - e3) - a4 (lc - x)^2   on to the right end
//   C2a  segment 1 (lg1 - e1) - a1 x^2          up to mid-span
//        segment 2 e2 + a2 (lc - x)^2           beyond it

#include "calc/tendon.h"

#include <array>
#include <string_view>
#include <vector>

namespace calc {

enum class PointKind { leftEnd, inflection, lowest, rightEnd };

struct KeyPoint {
    double x;
    PointKind kind;
};

// Where two segments meet: each one's height and slope there. They differ
// only where the profile has a step (C2a with lg2 other than 0) or a kink.
struct Joint {
    double x;
    double leftHeight, rightHeight, leftSlope, rightSlope;
};

class ProfileGeometry {
public:
    ProfileGeometry(Profile profile, const HeldParameters &parameters, const std::array<double, 4> &a);

    Profile profile() const { return profile_; }
    int segmentCount() const { return profile_ == Profile::c2a ? 2 : 4; }
    double span() const { return lc_; }
    double depth() const { return lg1_; }
    double coefficient(int segment) const { return a_[std::size_t(segment - 1)]; }

    // The segment (1-based) that holds x; at a boundary, the one on its left.
    int segmentAt(double x) const;
    double height(double x) const { return height(segmentAt(x), x); }
    double height(int segment, double x) const;
    double slope(int segment, double x) const;

    // The ends, the inflection points and the lowest point, from the left.
    std::vector<KeyPoint> keyPoints() const;
    std::vector<Joint> joints() const;

    // Where the site needs the height: the left end, every `step` from it,
    // every key point and the right end, from the left, each once.
    std::vector<double> stations(double step) const;

    // The heights at those places: one at each, and two where segments meet
    // a step apart (C2a with lg2 other than 0: its parabolas end lg2/2 apart
    // at mid-span), the left segment's end first.
    struct Height {
        double x, height;
        int side; // 0, or at a step -1 for the left segment's end and 1 for the right's
    };
    std::vector<Height> heightsAt(double x) const;
    std::vector<Height> settingOut(double step) const;
    // Where two segments meet more than half a millimetre apart: the right
    // segment's height less the left's; 0 where they meet.
    double stepAt(const Joint &joint) const;

private:
    Profile profile_;
    double e1_, e2_, e3_, lc_, lg1_;
    std::array<double, 4> a_;
    std::array<double, 5> bounds_; // segment boundaries, 0 .. lc
};

// The profile of a tendon whose equations were computed, from its parameters
// and coefficient texts as the window shows them.
ProfileGeometry geometryOf(const Tendon &tendon);

// "左端", "反弯点", "最低点", "右端".
std::string_view pointName(PointKind kind);

// The scales 1:across and 1:up a profile is drawn at on paper `width` ×
// `height` mm, a margin kept at each side: the smallest usual scales at which
// the span fits across and the depth in under half the height. A beam is
// some twenty times longer than deep, so the vertical scale is exaggerated;
// a drawing states both.
struct DrawingScales {
    int across, up;
};
DrawingScales drawingScales(const ProfileGeometry &geometry, double width, double height);
// The same for a tendon `length` long through beams at most `depth` deep.
DrawingScales drawingScales(double length, double depth, double width, double height);
// The profile's drawing on a calculation sheet, wherever it is shown: 180 ×
// 62 mm of paper, 15 mm kept at each side and the beam's top face 12 mm
// below the drawing's, the stress under it 28 mm high.
inline constexpr double sheetDrawingWidth = 180, sheetProfileHeight = 62, sheetStressHeight = 28;
inline constexpr double sheetDrawingMargin = 15, sheetBeamTop = 12;

// A height in whole millimetres, halves to even.
long wholeMillimetres(double value);

} // namespace calc
