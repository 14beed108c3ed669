#include "calc/long_term.h"

#include <algorithm>
#include <numbers>

namespace calc {

double relaxationLoss(double sigmaCon, double fptk, Relaxation kind)
{
    const double ratio = sigmaCon / fptk;
    if (ratio <= 0.5)
        return 0;
    if (kind == Relaxation::ordinary)
        return 0.4 * (ratio - 0.5) * sigmaCon;
    return ratio <= 0.7 ? 0.125 * (ratio - 0.5) * sigmaCon : 0.2 * (ratio - 0.575) * sigmaCon;
}

ShrinkageCreep shrinkageCreepLoss(double sigmaPc, double fcu, double rho, bool dry)
{
    const double loss = (55 + 300 * sigmaPc / fcu) / (1 + 15 * rho);
    return {dry ? 1.3 * loss : loss, sigmaPc <= 0.5 * fcu};
}

namespace {

// Parts added by their areas, centroids and own second moments: the whole's
// centroid, and its second moment about that by the parallel axes.
struct Part {
    double area, centroid, inertia;
};
SectionProperties combined(std::initializer_list<Part> parts)
{
    double area = 0, moment = 0;
    for (const Part &p : parts) {
        area += p.area;
        moment += p.area * p.centroid;
    }
    const double centroid = moment / area;
    double inertia = 0;
    for (const Part &p : parts)
        inertia += p.inertia + p.area * (p.centroid - centroid) * (p.centroid - centroid);
    return {area, centroid, inertia};
}

} // namespace

SectionProperties Section::gross() const
{
    const Part web{b * h, h / 2, b * h * h * h / 12};
    if (bf <= b || hf <= 0)
        return combined({web});
    const double overhang = bf - b;
    return combined({web, {overhang * hf, h - hf / 2, overhang * hf * hf * hf / 12}});
}

SectionProperties Section::net(int ducts, double d, double y) const
{
    const SectionProperties whole = gross();
    if (ducts <= 0 || d <= 0)
        return whole;
    const double hole = std::numbers::pi * d * d / 4 * ducts;
    const double own = std::numbers::pi * d * d * d * d / 64 * ducts;
    return combined({{whole.area, whole.centroid, whole.inertia}, {-hole, y, -own}});
}

double precompression(const SectionProperties &net, double force, double yp, double y)
{
    return force / net.area + force * (net.centroid - yp) * (net.centroid - y) / net.inertia;
}

double totalLoss(double sigmaL1, double sigmaL2, double sigmaL4, double sigmaL5)
{
    return std::max(80.0, sigmaL1 + sigmaL2 + sigmaL4 + sigmaL5);
}

} // namespace calc
