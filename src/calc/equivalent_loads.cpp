#include "calc/equivalent_loads.h"

#include <cmath>

namespace calc {

namespace {

// The mean of f over [a, b], by Simpson's rule on 256 panels: the force
// falls smoothly along a segment but for the kink where a draw-in ends.
double mean(const std::function<double(double)> &f, double a, double b)
{
    if (b <= a)
        return f(a);
    constexpr int panels = 256;
    const double h = (b - a) / panels;
    double sum = f(a) + f(b);
    for (int n = 1; n < panels; ++n)
        sum += f(a + n * h) * (n % 2 ? 4 : 2);
    return sum * h / 3 / (b - a);
}

// A span's segments as their horizontal runs, from its left end.
std::vector<std::pair<double, double>> runs(const ProfileGeometry &geometry)
{
    std::vector<std::pair<double, double>> out;
    double from = 0;
    for (const Joint &joint : geometry.joints()) {
        out.emplace_back(from, joint.x);
        from = joint.x;
    }
    out.emplace_back(from, geometry.span());
    return out;
}

} // namespace

std::vector<Load> equivalentLoads(std::span<const LoadedSpan> spans, const std::function<double(double)> &force)
{
    std::vector<Load> loads;
    if (spans.empty())
        return loads;
    const auto anchor = [&](std::size_t span, double x, double height, double slope, bool left) {
        const LoadedSpan &s = spans[span];
        const double n = force(x);
        // Into the beam along the tendon: rightward and up the slope at the
        // left anchor, leftward and down it at the right.
        const double sign = left ? 1 : -1;
        loads.push_back({span, LoadKind::axial, x, x, sign * n, s.centroid});
        loads.push_back({span, LoadKind::concentrated, x, x, sign * n * slope});
        loads.push_back({span, LoadKind::moment, x, x, sign * n * (s.centroid - height)});
    };
    const ProfileGeometry &first = *spans.front().geometry;
    anchor(0, spans.front().start, first.height(1, 0), first.slope(1, 0), true);
    for (std::size_t span = 0; span < spans.size(); ++span) {
        const LoadedSpan &s = spans[span];
        const ProfileGeometry &g = *s.geometry;
        const auto segments = runs(g);
        for (std::size_t i = 0; i < segments.size(); ++i) {
            const auto [a, b] = segments[i];
            const int segment = int(i) + 1;
            // y″ from the slopes at the run's ends: a parabola's slope is linear.
            const double curvature = b > a ? (g.slope(segment, b) - g.slope(segment, a)) / (b - a) : 0;
            const double x0 = s.start + a, x1 = s.start + b;
            loads.push_back({span, LoadKind::uniform, x0, x1, mean(force, x0, x1) * curvature});
        }
        for (const Joint &joint : g.joints()) {
            const double x = s.start + joint.x, n = force(x);
            if (joint.rightSlope != joint.leftSlope)
                loads.push_back({span, LoadKind::concentrated, x, x, n * (joint.rightSlope - joint.leftSlope)});
            if (joint.rightHeight != joint.leftHeight)
                loads.push_back({span, LoadKind::moment, x, x, -n * (joint.rightHeight - joint.leftHeight)});
        }
        // Where this span meets the next: the spans' slopes there (level at
        // every atlas profile's end) and heights.
        if (span + 1 < spans.size()) {
            const ProfileGeometry &next = *spans[span + 1].geometry;
            const double x = spans[span + 1].start, n = force(x);
            const int last = g.segmentCount();
            const double leftSlope = g.slope(last, g.span()), rightSlope = next.slope(1, 0);
            const double leftHeight = g.height(last, g.span()), rightHeight = next.height(1, 0);
            if (rightSlope != leftSlope)
                loads.push_back({span + 1, LoadKind::concentrated, x, x, n * (rightSlope - leftSlope)});
            if (rightHeight != leftHeight)
                loads.push_back({span + 1, LoadKind::moment, x, x, -n * (rightHeight - leftHeight)});
        }
    }
    const LoadedSpan &end = spans.back();
    const ProfileGeometry &lastSpan = *end.geometry;
    const int last = lastSpan.segmentCount();
    anchor(spans.size() - 1, end.start + lastSpan.span(), lastSpan.height(last, lastSpan.span()), lastSpan.slope(last, lastSpan.span()),
           false);
    return loads;
}

Balance balance(std::span<const Load> loads)
{
    Balance sums{0, 0, 0};
    for (const Load &load : loads) {
        switch (load.kind) {
        case LoadKind::uniform: {
            const double resultant = load.value * (load.to - load.from);
            sums.vertical += resultant;
            sums.moment += resultant * (load.from + load.to) / 2;
            break;
        }
        case LoadKind::concentrated:
            sums.vertical += load.value;
            sums.moment += load.value * load.from;
            break;
        case LoadKind::axial:
            // A rightward force above the point turns clockwise.
            sums.horizontal += load.value;
            sums.moment -= load.value * load.height;
            break;
        case LoadKind::moment:
            sums.moment += load.value;
            break;
        }
    }
    return sums;
}

} // namespace calc
