#include "calc/anchoring.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace calc {

double StressRun::from() const { return std::exp(ln0); }
double StressRun::to() const { return std::exp(ln0 + slope * (s1 - s0)); }

namespace {

// (e^(g·t) − 1)/g, and t where g is 0: the integral of e^(g·u) from 0 to t.
double grow(double g, double t) { return g == 0 ? t : std::expm1(g * t) / g; }

// The stress from one jack as runs measured from its own end (s0, s1 are
// mm from that end): ln σ falls by z evenly along each piece and at once at a
// kink.
std::vector<StressRun> jackLine(const std::vector<Piece> &pieces, Duct duct, double sigmaCon, bool right)
{
    std::vector<StressRun> runs;
    runs.reserve(pieces.size());
    double t = 0, ln = std::log(sigmaCon);
    for (std::size_t n = 0; n < pieces.size(); ++n) {
        const Piece &piece = pieces[right ? pieces.size() - 1 - n : n];
        const double z = duct.friction(piece);
        if (piece.length > 0)
            runs.push_back({t, t + piece.length, ln, -z / piece.length});
        ln -= z;
        t += piece.length;
    }
    return runs;
}

// How far the draw-in reaches from a jack's end, and k: within that reach
// the stress after anchoring is k/σ. `target` is the draw-in times Ep: the
// shortening F(lf) = ∫σ − k·∫1/σ over the reach must make it up.
struct Reach {
    double lf, k;
    bool whole; // beyond the far end: the whole strand draws back
};

Reach reach(const std::vector<StressRun> &line, double target)
{
    double A = 0, B = 0; // ∫σ ds and ∫1/σ ds from the end to the run's start
    for (const StressRun &run : line) {
        const double length = run.s1 - run.s0, e0 = std::exp(run.ln0), g = run.slope;
        // A kink just passed drops σ at once: where the draw-in ends there, k
        // lies between the squares of the stresses either side of it.
        if (A - e0 * e0 * B >= target)
            return {run.s0, B > 0 ? (A - target) / B : e0 * e0, false};
        const auto within = [&](double t, double &derivative) {
            const double sigma = e0 * std::exp(g * t), b = B + grow(-g, t) / e0;
            derivative = -2 * g * sigma * sigma * b; // F' = −2·(d ln σ/ds)·σ²·∫1/σ, never below 0
            return A + e0 * grow(g, t) - sigma * sigma * b;
        };
        double derivative = 0;
        if (within(length, derivative) >= target) {
            // Newton's steps, kept within the bracket that holds lf.
            double low = 0, high = length, t = length / 2;
            for (int step = 0; step < 200 && high - low > 1e-9; ++step) {
                const double f = within(t, derivative) - target;
                (f < 0 ? low : high) = t;
                double next = derivative > 0 ? t - f / derivative : (low + high) / 2;
                if (!(next > low && next < high))
                    next = (low + high) / 2;
                const bool settled = std::abs(next - t) < 1e-10;
                t = next;
                if (settled)
                    break;
            }
            const double sigma = e0 * std::exp(g * t);
            return {run.s0 + t, sigma * sigma, false};
        }
        A += e0 * grow(g, length);
        B += grow(-g, length) / e0;
    }
    // The reverse friction's shape over the whole strand, lowered until the
    // shortening equals the draw-in; none left where it is more than the
    // strand's whole stretch.
    return {line.empty() ? 0 : line.back().s1, B > 0 ? std::max(0.0, (A - target) / B) : 0.0, true};
}

// One jack's stress over a stretch [p, q] of the tendon (s from the left
// end), before anchoring or after it: ln σ at p and its slope in s.
struct Side {
    const std::vector<StressRun> *line;
    bool right;
    double length; // the strand's, to turn s into mm from the right end
    Reach reach;
    bool anchored;
    double lnK = std::log(reach.k); // −inf where the strand went slack

    StressRun over(double p, double q) const
    {
        const double t = right ? length - (p + q) / 2 : (p + q) / 2;
        const auto run = std::find_if(line->begin(), line->end(), [&](const StressRun &r) { return t <= r.s1; });
        const StressRun &r = run == line->end() ? line->back() : *run;
        const double tp = right ? length - p : p;
        double ln = r.ln0 + r.slope * (tp - r.s0), slope = right ? -r.slope : r.slope;
        if (anchored && t < reach.lf) {
            ln = lnK - ln;
            slope = -slope;
        }
        return {p, q, ln, slope};
    }
};

// The runs of a stress made up stretch by stretch from the breakpoints; where
// two sides stand, the larger, split where they cross.
template <typename Pick>
std::vector<StressRun> runsOver(std::vector<double> breaks, double length, Pick pick)
{
    std::sort(breaks.begin(), breaks.end());
    std::vector<StressRun> runs;
    runs.reserve(breaks.size() + 2);
    for (std::size_t n = 0; n + 1 < breaks.size(); ++n) {
        const double p = std::clamp(breaks[n], 0.0, length), q = std::clamp(breaks[n + 1], 0.0, length);
        if (q - p < 1e-9)
            continue;
        const auto [a, b, two] = pick(p, q);
        if (!two) {
            runs.push_back(a);
            continue;
        }
        const double da = a.ln0 - b.ln0, db = da + (a.slope - b.slope) * (q - p);
        if (std::isfinite(da) && std::isfinite(db) && ((da < 0) != (db < 0)) && da != 0 && db != 0) {
            const double cross = p + (q - p) * da / (da - db);
            const StressRun first = da > 0 ? a : b, second = da > 0 ? b : a;
            runs.push_back({p, cross, first.ln0, first.slope});
            runs.push_back({cross, q, second.ln0 + second.slope * (cross - p), second.slope});
        } else {
            const bool aHigher = std::isfinite(da) ? da + db >= 0 : a.ln0 > b.ln0;
            runs.push_back(aHigher ? a : b);
        }
    }
    return runs;
}

} // namespace

Anchoring anchor(const std::vector<Piece> &pieces, Duct duct, double sigmaCon, int ends, double ep, double set,
                 const Tensioning &tensioning)
{
    Anchoring a;
    a.set = set;
    for (const Piece &piece : pieces)
        a.length += piece.length;
    const std::vector<StressRun> left = jackLine(pieces, duct, sigmaCon, false);
    const std::vector<StressRun> right = ends == 2 ? jackLine(pieces, duct, sigmaCon, true) : std::vector<StressRun>{};
    if (left.empty())
        return a;
    const double target = set * ep;
    const Side l{&left, false, a.length, reach(left, target), true};
    const Side r = ends == 2 ? Side{&right, true, a.length, reach(right, target), true} : Side{};
    const double divide = ends == 2 ? tensioning.divide : a.length;
    a.slack = l.reach.k == 0 || (ends == 2 && r.reach.k == 0);

    std::vector<double> breaks{0, a.length, divide, l.reach.lf};
    for (const StressRun &run : left)
        breaks.push_back(run.s1);
    if (ends == 2)
        breaks.push_back(a.length - r.reach.lf);
    struct Picked {
        StressRun a, b;
        bool two;
    };
    a.before = runsOver(breaks, a.length, [&](double p, double q) {
        Side side = ends == 2 && (p + q) / 2 > divide ? r : l;
        side.anchored = false;
        return Picked{side.over(p, q), {}, false};
    });
    if (ends == 1) {
        a.rule = l.reach.whole ? Anchoring::wholeLength : Anchoring::withinReach;
        a.lf = {l.reach.lf, 0};
        a.after = runsOver(breaks, a.length, [&](double p, double q) { return Picked{l.over(p, q), {}, false}; });
    } else {
        a.lf = {l.reach.lf, r.reach.lf};
        const double slack = 1e-6; // mm: a zone ending on the meeting point stays within it
        a.rule = l.reach.lf <= divide + slack && r.reach.lf <= a.length - divide + slack ? Anchoring::withinReach
                                                                                       : Anchoring::eachAlone;
        a.after = runsOver(breaks, a.length, [&](double p, double q) {
            if (a.rule == Anchoring::eachAlone)
                return Picked{l.over(p, q), r.over(p, q), true};
            return Picked{((p + q) / 2 > divide ? r : l).over(p, q), {}, false};
        });
    }
    a.loss = {sigmaCon - a.after.front().from(), ends == 2 ? sigmaCon - a.after.back().to() : 0};
    a.lowest = std::numeric_limits<double>::infinity();
    for (const StressRun &run : a.after)
        for (const auto &[sigma, at] : {std::pair{run.from(), run.s0}, std::pair{run.to(), run.s1}})
            if (sigma < a.lowest) {
                a.lowest = sigma;
                a.lowestAt = at;
            }
    return a;
}

double stressAt(const std::vector<StressRun> &runs, double s)
{
    if (runs.empty())
        return 0;
    const auto run = std::find_if(runs.begin(), runs.end(), [&](const StressRun &r) { return s <= r.s1; });
    const StressRun &r = run == runs.end() ? runs.back() : *run;
    return std::exp(r.ln0 + r.slope * (std::min(s, r.s1) - r.s0));
}

double horizontalAt(const std::vector<Piece> &pieces, double along)
{
    double s = 0;
    for (const Piece &piece : pieces) {
        if (piece.length > 0 && along <= s + piece.length)
            return piece.from + (piece.to - piece.from) * std::max(0.0, along - s) / piece.length;
        s += piece.length;
    }
    return pieces.empty() ? 0 : pieces.back().to;
}

std::vector<StressPoint> anchoredAlong(const std::vector<Piece> &pieces, const Anchoring &anchoring, int samples)
{
    std::vector<StressPoint> points;
    points.reserve(anchoring.after.size() * std::size_t(samples + 1));
    for (const StressRun &run : anchoring.after)
        for (int k = 0; k <= samples; ++k) {
            const double s = run.s0 + (run.s1 - run.s0) * k / samples;
            points.push_back({horizontalAt(pieces, s), std::exp(run.ln0 + run.slope * (s - run.s0))});
        }
    return points;
}

} // namespace calc
