#include "calc/geometry.h"

#include "numeric/number_text.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace calc {

ProfileGeometry::ProfileGeometry(Profile profile, const HeldParameters &p, const std::array<double, 4> &a)
    : profile_(profile), e1_(p.e1), e2_(p.e2), e3_(p.e3), lc_(p.lc), lg1_(p.lg1), a_(a)
{
    if (profile == Profile::c2a)
        bounds_ = {0, lc_ / 2, lc_, lc_, lc_};
    else
        bounds_ = {0, lc_ * p.k1, lc_ * p.k2, lc_ - lc_ * p.k3, lc_};
}

int ProfileGeometry::segmentAt(double x) const
{
    for (int segment = 1; segment < segmentCount(); ++segment)
        if (x <= bounds_[std::size_t(segment)])
            return segment;
    return segmentCount();
}

double ProfileGeometry::height(int segment, double x) const
{
    const double low = bounds_[2]; // C4's lowest point
    if (profile_ == Profile::c2a)
        return segment == 1 ? (lg1_ - e1_) - a_[0] * x * x : e2_ + a_[1] * (lc_ - x) * (lc_ - x);
    switch (segment) {
    case 1:
        return (lg1_ - e1_) - a_[0] * x * x;
    case 2:
        return e2_ + a_[1] * (low - x) * (low - x);
    case 3:
        return e2_ + a_[2] * (x - low) * (x - low);
    default:
        return (lg1_ - e3_) - a_[3] * (lc_ - x) * (lc_ - x);
    }
}

double ProfileGeometry::slope(int segment, double x) const
{
    const double low = bounds_[2];
    if (profile_ == Profile::c2a)
        return segment == 1 ? -2 * a_[0] * x : -2 * a_[1] * (lc_ - x);
    switch (segment) {
    case 1:
        return -2 * a_[0] * x;
    case 2:
        return -2 * a_[1] * (low - x);
    case 3:
        return 2 * a_[2] * (x - low);
    default:
        return 2 * a_[3] * (lc_ - x);
    }
}

std::vector<KeyPoint> ProfileGeometry::keyPoints() const
{
    std::vector<KeyPoint> points{{0, PointKind::leftEnd}};
    if (profile_ == Profile::c2a) {
        points.push_back({bounds_[1], PointKind::inflection});
    } else {
        points.push_back({bounds_[1], PointKind::inflection});
        points.push_back({bounds_[2], PointKind::lowest});
        points.push_back({bounds_[3], PointKind::inflection});
    }
    points.push_back({lc_, PointKind::rightEnd});
    return points;
}

std::vector<Joint> ProfileGeometry::joints() const
{
    std::vector<Joint> joints;
    for (int segment = 1; segment < segmentCount(); ++segment) {
        const double x = bounds_[std::size_t(segment)];
        joints.push_back({x, height(segment, x), height(segment + 1, x), slope(segment, x), slope(segment + 1, x)});
    }
    return joints;
}

std::vector<double> ProfileGeometry::stations(double step) const
{
    std::vector<double> at;
    for (long n = 0; step > 0 && double(n) * step < lc_; ++n)
        at.push_back(double(n) * step);
    for (const KeyPoint &point : keyPoints())
        at.push_back(point.x);
    std::sort(at.begin(), at.end());
    // A station within half a millimetre of the next is the same support.
    at.erase(std::unique(at.begin(), at.end(), [](double a, double b) { return b - a < 0.5; }), at.end());
    return at;
}

double ProfileGeometry::stepAt(const Joint &joint) const
{
    const double step = joint.rightHeight - joint.leftHeight;
    return std::abs(step) >= 0.5 ? step : 0;
}

std::vector<ProfileGeometry::Height> ProfileGeometry::heightsAt(double x) const
{
    for (const Joint &joint : joints())
        if (x == joint.x && stepAt(joint) != 0)
            return {{x, joint.leftHeight, -1}, {x, joint.rightHeight, 1}};
    return {{x, height(x), 0}};
}

std::vector<ProfileGeometry::Height> ProfileGeometry::settingOut(double step) const
{
    std::vector<Height> heights;
    for (double x : stations(step))
        for (const Height &h : heightsAt(x))
            heights.push_back(h);
    return heights;
}

ProfileGeometry geometryOf(const Tendon &tendon)
{
    std::array<double, 4> a{};
    for (int i = 0; i < tendon.coefficients.known && i < 4; ++i)
        a[std::size_t(i)] = numeric::readNumber(tendon.coefficients.text[std::size_t(i)]);
    return ProfileGeometry(tendon.profile, readParameters(tendon.parameters), a);
}

std::string_view pointName(PointKind kind)
{
    switch (kind) {
    case PointKind::leftEnd:
        return "左端";
    case PointKind::rightEnd:
        return "右端";
    case PointKind::lowest:
        return "最低点";
    case PointKind::inflection:
        break;
    }
    return "反弯点";
}

namespace {

// The smallest of the usual drawing scales at which `length` fits in `room`.
int scaleFor(double length, double room, std::initializer_list<int> scales)
{
    for (int scale : scales)
        if (length / scale <= room)
            return scale;
    return int(std::ceil(length / room));
}

} // namespace

DrawingScales drawingScales(const ProfileGeometry &g, double width, double height)
{
    return drawingScales(g.span(), g.depth(), width, height);
}

DrawingScales drawingScales(double length, double depth, double width, double height)
{
    return {scaleFor(length, width - 2 * sheetDrawingMargin, {20, 25, 50, 75, 100, 125, 150, 200, 250, 300, 400, 500, 1000}),
            scaleFor(depth, height * 0.45, {5, 10, 15, 20, 25, 30, 40, 50, 100, 200})};
}

long wholeMillimetres(double value) { return std::lround(std::nearbyint(value)); }

} // namespace calc
