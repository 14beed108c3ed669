#include "calc/anchoring.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace calc {

double StressRun::from() const { return std::exp(ln0); }
double StressRun::to() const { return std::exp(ln0 + slope * (s1 - s0)); }

namespace {

using Runs = std::vector<StressRun>;

// (e^(g·t) − 1)/g, and t where g is 0: the integral of e^(g·u) from 0 to t.
double grow(double g, double t) { return g == 0 ? t : std::expm1(g * t) / g; }

// The stress one jack gives along the whole strand, s from the left end: ln σ
// falls away from its jack by each piece's z, evenly along the piece and at
// once at a kink.
Runs jackLine(const std::vector<Piece> &pieces, Duct duct, double sigmaCon, bool right)
{
    double total = 0;
    for (const Piece &piece : pieces)
        total += duct.friction(piece);
    Runs runs;
    runs.reserve(pieces.size());
    const double ln = std::log(sigmaCon);
    double s = 0, reached = 0; // the friction from the left end
    for (const Piece &piece : pieces) {
        const double z = duct.friction(piece);
        if (piece.length > 0)
            runs.push_back({s, s + piece.length, right ? ln - (total - reached) : ln - reached, (right ? z : -z) / piece.length});
        reached += z;
        s += piece.length;
    }
    return runs;
}

// The same runs with s measured from the right end.
Runs mirrored(const Runs &runs, double length)
{
    Runs out;
    out.reserve(runs.size());
    for (auto r = runs.rbegin(); r != runs.rend(); ++r)
        out.push_back({length - r->s1, length - r->s0, r->ln0 + r->slope * (r->s1 - r->s0), -r->slope});
    return out;
}

// Appends the runs over [from, to]; reflected, ln K less each: the stress
// after a draw-in towards the anchor of the jack whose stress they are.
void append(Runs &out, const Runs &runs, double from, double to, double lnK = 0, bool reflect = false)
{
    for (const StressRun &r : runs) {
        const double p = std::max(from, r.s0), q = std::min(to, r.s1);
        if (!(q > p))
            continue;
        const double ln = r.ln0 + r.slope * (p - r.s0);
        out.push_back(reflect ? StressRun{p, q, lnK - ln, -r.slope} : StressRun{p, q, ln, r.slope});
    }
}

// A stretch, s from the anchor, over which both the stress as it stands
// (ln c0 + cs·t) and the stress of that anchor's jack (ln l0 + ls·t) are
// straight in ln.
struct Strip {
    double s0, s1, c0, cs, l0, ls;
};

std::vector<Strip> strips(const Runs &current, const Runs &line)
{
    std::vector<Strip> out;
    out.reserve(current.size() + line.size());
    std::size_t i = 0, j = 0;
    double s = 0;
    while (i < current.size() && j < line.size()) {
        const StressRun &c = current[i], &l = line[j];
        const double end = std::min(c.s1, l.s1);
        if (end > s)
            out.push_back({s, end, c.ln0 + c.slope * (s - c.s0), c.slope, l.ln0 + l.slope * (s - l.s0), l.slope});
        s = std::max(s, end);
        i += c.s1 <= end;
        j += l.s1 <= end;
    }
    return out;
}

// How far a draw-in reaches from its anchor (s = 0 of the strips), and K:
// within the reach the stress after anchoring is K/σj. `target` is the
// draw-in times Ep: the shortening F(lf) = ∫σ − K·∫1/σj over the reach, K =
// σ(lf)·σj(lf), must make it up. F never falls: F' = −(d ln σ + d ln σj)·σ·σj·∫1/σj,
// and the stress as it stands never rises away from the anchor faster than
// its jack's stress falls.
struct Zone {
    double lf, k;
    bool whole; // beyond the far end: the whole strand draws back
};

Zone reach(const std::vector<Strip> &strips, double target)
{
    double A = 0, B = 0; // ∫σ ds and ∫1/σj ds from the anchor to the strip's start
    for (const Strip &st : strips) {
        const double length = st.s1 - st.s0, c0 = std::exp(st.c0), l0 = std::exp(st.l0);
        // A kink just passed drops σ at once: where the draw-in ends there, K
        // lies between the products either side of it.
        if (A - c0 * l0 * B >= target)
            return {st.s0, B > 0 ? (A - target) / B : c0 * l0, false};
        const auto within = [&](double t, double &derivative) {
            const double c = c0 * std::exp(st.cs * t), l = l0 * std::exp(st.ls * t), b = B + grow(-st.ls, t) / l0;
            derivative = -(st.cs + st.ls) * c * l * b;
            return A + c0 * grow(st.cs, t) - c * l * b;
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
            return {st.s0 + t, c0 * std::exp(st.cs * t) * l0 * std::exp(st.ls * t), false};
        }
        A += c0 * grow(st.cs, length);
        B += grow(-st.ls, length) / l0;
    }
    // The reverse friction's shape over the whole strand, lowered until the
    // shortening equals the draw-in; none left where it is more than the
    // strand's whole stretch.
    return {strips.empty() ? 0 : strips.back().s1, B > 0 ? std::max(0.0, (A - target) / B) : 0.0, true};
}

// The zone of the anchor at the left or the right end on the stress as it
// stands, `line` the stress of that anchor's jack (s from the left end); lf
// from that anchor.
Zone zoneOf(const Runs &current, const Runs &line, bool right, double length, double target)
{
    if (!right)
        return reach(strips(current, line), target);
    return reach(strips(mirrored(current, length), mirrored(line, length)), target);
}

// The stress after that anchor's draw-in, over the stress as it stood.
Runs drawnIn(const Runs &current, const Runs &line, const Zone &zone, bool right, double length)
{
    Runs out;
    out.reserve(current.size() + line.size() + 2);
    const double lnK = std::log(zone.k), reach = zone.whole ? length : zone.lf;
    if (right) {
        append(out, current, 0, length - reach);
        append(out, line, length - reach, length, lnK, true);
    } else {
        append(out, line, 0, reach, lnK, true);
        append(out, current, reach, length);
    }
    return out;
}

// ∫σ and ∫1/σj from an anchor (s = 0 of the strips) to any point, and σj there.
class Integrals {
public:
    explicit Integrals(std::vector<Strip> strips) : strips_(std::move(strips))
    {
        double A = 0, B = 0;
        for (const Strip &st : strips_) {
            A_.push_back(A);
            B_.push_back(B);
            A += std::exp(st.c0) * grow(st.cs, st.s1 - st.s0);
            B += grow(-st.ls, st.s1 - st.s0) / std::exp(st.l0);
        }
    }
    const std::vector<Strip> &strips() const { return strips_; }
    void at(double t, double &a, double &b, double &line) const
    {
        const auto found = std::upper_bound(strips_.begin(), strips_.end(), t, [](double v, const Strip &st) { return v < st.s1; });
        const std::size_t k = std::size_t(std::min(found - strips_.begin(), std::ptrdiff_t(strips_.size()) - 1));
        const Strip &st = strips_[k];
        const double u = t - st.s0, l0 = std::exp(st.l0);
        a = A_[k] + std::exp(st.c0) * grow(st.cs, u);
        b = B_[k] + grow(-st.ls, u) / l0;
        line = l0 * std::exp(st.ls * u);
    }

private:
    std::vector<Strip> strips_;
    std::vector<double> A_, B_;
};

// Both ends locked off together, their zones meeting: the point x* that does
// not move, where the stresses after anchoring from each side, each side's
// shortening making up the whole draw-in, are one. From the left, with x*
// fixed, K_L = (∫σ − a·Ep)/∫1/σL over [0, x*], and likewise from the right;
// K_L/σL(x*) − K_R/σR(x*) runs from below zero next to the left anchor to above
// zero next to the right one.
struct Meeting {
    double at, kLeft, kRight;
};

Meeting meet(const Runs &before, const Runs &left, const Runs &right, double length, double target)
{
    const Integrals fromLeft(strips(before, left));
    const Integrals fromRight(strips(mirrored(before, length), mirrored(right, length)));
    Meeting m{length / 2, 0, 0};
    const auto difference = [&](double x) {
        double aL, bL, lL, aR, bR, lR;
        fromLeft.at(x, aL, bL, lL);
        fromRight.at(length - x, aR, bR, lR);
        m = {x, (aL - target) / bL, (aR - target) / bR};
        return m.kLeft / lL - m.kRight / lR;
    };
    // Bracketed between the breakpoints either side of it, where the
    // difference is smooth (it leaps at a kink); then by false position, the
    // Illinois way (an end kept twice has its value halved), with every
    // fourth step a halving, so a leap at a kink is closed in on too.
    std::vector<double> breaks;
    for (const Strip &st : fromLeft.strips())
        breaks.push_back(st.s0);
    for (const Strip &st : fromRight.strips())
        breaks.push_back(length - st.s0);
    std::sort(breaks.begin(), breaks.end());
    double low = 0, high = length, gLow = -INFINITY, gHigh = INFINITY;
    for (const double x : breaks) {
        if (!(x > low && x < high))
            continue;
        const double g = difference(x);
        (g < 0 ? low : high) = x;
        (g < 0 ? gLow : gHigh) = g;
        if (!(g < 0))
            break;
    }
    int kept = 0; // steps in a row the bracket moved at one end: below zero the low end, above it the high
    for (int step = 0; step < 200 && high - low > 1e-7; ++step) {
        const bool bisect = !std::isfinite(gLow) || !std::isfinite(gHigh) || step % 4 == 3;
        double x = bisect ? (low + high) / 2 : high - gHigh * (high - low) / (gHigh - gLow);
        if (!(x > low && x < high))
            x = (low + high) / 2;
        const double g = difference(x);
        if (g == 0)
            return m;
        const bool below = g < 0;
        (below ? low : high) = x;
        (below ? gLow : gHigh) = g;
        kept = (below ? (kept < 0 ? kept : 0) - 1 : (kept > 0 ? kept : 0) + 1);
        if (kept <= -2)
            gHigh /= 2;
        else if (kept >= 2)
            gLow /= 2;
    }
    difference((low + high) / 2);
    return m;
}

} // namespace

Anchoring anchor(const std::vector<Piece> &pieces, Duct duct, double sigmaCon, Ends ends, LockOff order, double ep,
                 double set, const Tensioning &tensioning)
{
    Anchoring a;
    a.set = set;
    for (const Piece &piece : pieces)
        a.length += piece.length;
    const Runs left = jackLine(pieces, duct, sigmaCon, false), right = jackLine(pieces, duct, sigmaCon, true);
    if (left.empty())
        return a;
    const double length = a.length, target = set * ep;
    constexpr double slack = 1e-6; // mm: a zone ending on the meeting point stays within it
    const auto record = [&](int end, const Zone &zone) {
        a.reach[std::size_t(end)] = zone.whole ? Anchoring::wholeLength : Anchoring::within;
        a.lf[std::size_t(end)] = zone.whole ? length : zone.lf;
        a.slack = a.slack || !(zone.k > 0);
    };
    if (ends != Ends::both) {
        const bool fromRight = ends == Ends::right;
        a.before = fromRight ? right : left;
        const Zone zone = zoneOf(a.before, a.before, fromRight, length, target);
        record(fromRight, zone);
        a.after = drawnIn(a.before, a.before, zone, fromRight, length);
    } else {
        const double divide = tensioning.divide;
        append(a.before, left, 0, divide);
        append(a.before, right, divide, length);
        if (order == LockOff::together) {
            const Zone l = zoneOf(a.before, left, false, length, target), r = zoneOf(a.before, right, true, length, target);
            if (!l.whole && l.lf <= divide + slack && !r.whole && r.lf <= length - divide + slack) {
                record(0, l);
                record(1, r);
                a.after = drawnIn(drawnIn(a.before, left, l, false, length), right, r, true, length);
            } else {
                const Meeting m = meet(a.before, left, right, length, target);
                a.reach = {Anchoring::met, Anchoring::met};
                a.meeting = m.at;
                a.lf = {m.at, length - m.at};
                a.slack = !(m.kLeft > 0 && m.kRight > 0);
                append(a.after, left, 0, m.at, std::log(std::max(0.0, m.kLeft)), true);
                append(a.after, right, m.at, length, std::log(std::max(0.0, m.kRight)), true);
            }
        } else {
            const bool rightFirst = order == LockOff::rightFirst;
            const int first = rightFirst ? 1 : 0;
            const Runs &firstLine = rightFirst ? right : left, &otherLine = rightFirst ? left : right;
            const double part = rightFirst ? length - divide : divide; // the first jack's part of the strand
            // While the other jack holds σcon, a zone that would pass the
            // meeting point draws the strand through to that jack: what is
            // left is that jack's own stress, as if it alone had stressed the
            // tendon against the first anchor.
            const Zone z = zoneOf(a.before, firstLine, rightFirst, length, target);
            Runs stands;
            if (!z.whole && z.lf <= part + slack) {
                stands = drawnIn(a.before, firstLine, z, rightFirst, length);
                record(first, z);
            } else {
                stands = otherLine;
                a.reach[std::size_t(first)] = Anchoring::slidThrough;
                a.lf[std::size_t(first)] = length;
            }
            // The second end on the stress as it stands, the first anchor now
            // a fixed end.
            const Zone second = zoneOf(stands, otherLine, !rightFirst, length, target);
            record(1 - first, second);
            a.after = drawnIn(stands, otherLine, second, !rightFirst, length);
        }
    }
    a.loss = {jackedAt(ends, 0) ? sigmaCon - a.after.front().from() : 0,
              jackedAt(ends, 1) ? sigmaCon - a.after.back().to() : 0};
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
