// Stressing and anchoring a tendon: the published worked examples, the symmetry
// two jacks must show on a symmetric tendon, and the closed form against the
// friction integrated step by step along the actual parabolas, of one span
// and of a tendon continuous through three.

#include "calc/anchoring.h"
#include "calc/continuous.h"
#include "calc/tensioning.h"
#include "numeric/number_text.h"

#include <QTest>

#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>
#include <tuple>
#include <vector>

namespace {

// The stress from one jack at the left end, σcon·e^-(κs + μθ(s)), along the
// curve in small steps, span after span: each step's length and the stress at
// its middle. Segments 1 and 3 are passed from their vertex outwards, 2 and 4
// towards it.
struct Step {
    double ds, sigma;
};
std::vector<Step> walked(std::initializer_list<const calc::Tendon *> spans, calc::Duct duct, double sigmaCon)
{
    std::vector<Step> steps;
    double s = 0, theta = 0;
    for (const calc::Tendon *t : spans) {
        for (std::size_t i = 0; i < t->length.segments.size(); ++i) {
            const double a = numeric::readNumber(t->coefficients.text[i]), x = t->length.segments[i].x;
            const bool outwards = i % 2 == 0;
            constexpr int count = 20000;
            for (int n = 0; n < count; ++n) {
                const double u0 = x * n / count, u1 = x * (n + 1) / count;
                const double from = outwards ? u0 : x - u0, to = outwards ? u1 : x - u1;
                const double mid = (from + to) / 2, ds = std::abs(to - from) * std::hypot(1.0, 2 * a * mid);
                const double half = std::abs(std::atan(2 * a * mid) - std::atan(2 * a * from));
                steps.push_back({ds, sigmaCon * std::exp(-(duct.kappa * (s + ds / 2) / 1000 + duct.mu * (theta + half)))});
                s += ds;
                theta += std::abs(std::atan(2 * a * to) - std::atan(2 * a * from));
            }
        }
    }
    return steps;
}

double integrated(std::initializer_list<const calc::Tendon *> spans, calc::Duct duct, double sigmaCon, double ep)
{
    double elongation = 0;
    for (const Step &step : walked(spans, duct, sigmaCon))
        elongation += step.sigma * step.ds / ep;
    return elongation;
}

// The draw-in's reach on the walked stress: the first point where the
// shortening ∫(σ − σ(lf)²/σ) ds over the reach makes up set·Ep; lf and σl1.
std::pair<double, double> reached(const std::vector<Step> &steps, double sigmaCon, double set, double ep)
{
    double s = 0, A = 0, B = 0;
    for (const Step &step : steps) {
        A += step.sigma * step.ds;
        B += step.ds / step.sigma;
        s += step.ds;
        if (A - step.sigma * step.sigma * B >= set * ep)
            return {s, sigmaCon - step.sigma * step.sigma / sigmaCon};
    }
    return {NAN, NAN};
}

// The strand in small steps along its pieces, z growing evenly along each
// piece and at once at a kink: each step's length, and at its middle the
// stress from each jack alone and the larger of the two, as both jacks hold it.
struct Strand {
    double ds = 0;
    std::vector<double> left, right, before;
};
Strand stepped(const std::vector<calc::Piece> &pieces, calc::Duct duct, double sigmaCon)
{
    double length = 0, total = 0;
    for (const calc::Piece &piece : pieces) {
        length += piece.length;
        total += duct.friction(piece);
    }
    Strand strand;
    constexpr int n = 200000;
    strand.ds = length / n;
    std::size_t at = 0;
    double s0 = 0, z0 = 0;
    for (int k = 0; k < n; ++k) {
        const double s = (k + 0.5) * strand.ds;
        while (s > s0 + pieces[at].length) {
            s0 += pieces[at].length;
            z0 += duct.friction(pieces[at++]);
        }
        const double z = z0 + duct.friction(pieces[at]) * (s - s0) / pieces[at].length;
        strand.left.push_back(sigmaCon * std::exp(-z));
        strand.right.push_back(sigmaCon * std::exp(-(total - z)));
        strand.before.push_back(std::max(strand.left.back(), strand.right.back()));
    }
    return strand;
}

// Both ends locked off together: the point that does not move by bisection
// over the steps, each side drawn back by the whole draw-in (K/σL left of
// it, K/σR right of it, K from the sums over that side). σl1 at the left and
// the right anchor, and the point, mm along the strand.
std::tuple<double, double, double> lockedTogether(const Strand &strand, double sigmaCon, double target)
{
    const std::size_t n = strand.before.size();
    std::vector<double> A(n + 1), left(n + 1), right(n + 1); // from the left end to each step's start
    for (std::size_t k = 0; k < n; ++k) {
        A[k + 1] = A[k] + strand.before[k] * strand.ds;
        left[k + 1] = left[k] + strand.ds / strand.left[k];
        right[k + 1] = right[k] + strand.ds / strand.right[k];
    }
    const auto ks = [&](std::size_t m) {
        return std::pair{(A[m] - target) / left[m], (A[n] - A[m] - target) / (right[n] - right[m])};
    };
    std::size_t low = 1, high = n - 1;
    while (high - low > 1) {
        const std::size_t m = (low + high) / 2;
        const auto [kl, kr] = ks(m);
        (kl / strand.left[m] < kr / strand.right[m] ? low : high) = m;
    }
    const auto [kl, kr] = ks(high);
    return {sigmaCon - kl / sigmaCon, sigmaCon - kr / sigmaCon, double(high) * strand.ds};
}

} // namespace

class TensioningTest : public QObject {
    Q_OBJECT

private slots:
    void workedExample()
    {
        // 4 strands of 140 mm² jacked with 781 200 N: 742 648.6 N on average, 106.75 mm.
        const calc::Tensioning t = calc::tension({{15696.6, 0.314159265}}, {0.0015, 0.25}, 781200.0 / 560, calc::Ends::left, 195000, 0);
        QVERIFY(qAbs(t.elongLeft - 106.75) < 0.01);
        const double average = t.pieces[0].elongation * 195000 / 15696.6 * 560;
        QVERIFY2(qAbs(average - 742648.6) < 5, qPrintable(QString::number(average, 'f', 1)));
        QCOMPARE(t.sigmaFar, t.pieces[0].sigmaOut);
    }

    void twoJacksOnASymmetricTendon()
    {
        const calc::Tendon c4 = calc::computeTendon(calc::Profile::c4, {"100", "100", "100", "0.1", "0.5", "0.1", "20000", "1000", ""});
        const std::vector<calc::Piece> pieces = calc::tensioningPieces(c4);
        QCOMPARE(pieces.size(), std::size_t(4));
        const calc::Tensioning t = calc::tension(pieces, {0.0015, 0.25}, 1395, calc::Ends::both, 195000, 500);
        QVERIFY(qAbs(t.elongLeft - t.elongRight) < 1e-9);
        QVERIFY(qAbs(t.divide - 20086.0 / 2) < 1e-6);
        const calc::Tensioning one = calc::tension(pieces, {0.0015, 0.25}, 1395, calc::Ends::left, 195000, 500);
        QVERIFY(one.sigmaFar < t.sigmaFar && one.elongLeft > t.elongLeft);
        const calc::Tensioning free = calc::tension(pieces, {0, 0}, 1395, calc::Ends::both, 195000, 0); // no friction
        QVERIFY(qAbs(free.elongLeft - 1395 * 20086.0 / 2 / 195000) < 1e-9 && free.divide == 20086.0 / 2);

        // C2a: the kink at mid-span is 0 only where the parabolas are tangent (e1 = e2, lg2 = 0).
        const auto kink = [](const char *e2) {
            return calc::tensioningPieces(calc::computeTendon(calc::Profile::c2a, {"100", e2, "", "", "", "", "20000", "1000", "0"}))[1].theta;
        };
        QVERIFY(qAbs(kink("100")) < 1e-12 && kink("150") > 1e-3);
    }

    void closedFormAgainstTheCurve()
    {
        const calc::Duct metal{0.0015, 0.25};
        // Gentle pieces (under 0.3 rad): within 0.1 mm.
        const calc::Tendon gentle = calc::computeTendon(calc::Profile::c4, {"150", "90", "120", "0.12", "0.45", "0.08", "17970", "1200", ""});
        const double closed = calc::tension(calc::tensioningPieces(gentle), metal, 1395, calc::Ends::left, 195000, 0).elongLeft;
        QVERIFY2(qAbs(closed - integrated({&gentle}, metal, 1395, 195000)) < 0.1, qPrintable(QString::number(closed)));
        // A short deep beam turning 0.7 rad a piece: within 0.5 %.
        const calc::Tendon steep = calc::computeTendon(calc::Profile::c4, {"100", "100", "100", "0.1", "0.5", "0.1", "6000", "1500", ""});
        const double steepClosed = calc::tension(calc::tensioningPieces(steep), metal, 1395, calc::Ends::left, 195000, 0).elongLeft;
        QVERIFY(calc::tensioningPieces(steep)[0].theta > 0.3);
        QVERIFY2(qAbs(steepClosed / integrated({&steep}, metal, 1395, 195000) - 1) < 0.005, qPrintable(QString::number(steepClosed)));
    }

    void continuousTendonEndToEnd()
    {
        // Three spans, the third the first mirrored, so the tendon is symmetric.
        const auto c4 = [](calc::ParameterTexts answers) { return calc::computeTendon(calc::Profile::c4, answers); };
        const calc::Tendon a = c4({"150", "90", "120", "0.12", "0.45", "0.08", "17970", "1200", ""});
        const calc::Tendon b = c4({"120", "100", "120", "0.1", "0.5", "0.1", "12000", "1200", ""});
        const calc::Tendon c = c4({"120", "90", "150", "0.08", "0.55", "0.12", "17970", "1200", ""});
        const std::array spans{&a, &b, &c};
        const calc::ContinuousTendon whole = calc::continuousTendon(spans);
        const std::vector<calc::Piece> &pieces = whole.pieces;
        QCOMPARE(pieces.size(), std::size_t(12));
        QCOMPARE(pieces[4].from, 17970.0);
        QCOMPARE(pieces.back().to, 47940.0);
        QCOMPARE(whole.starts, (std::vector<double>{0, 17970, 29970, 47940}));
        QCOMPARE(whole.length, *a.length.total + *b.length.total + *c.length.total);
        QVERIFY(whole.length > 32767);

        const calc::Duct metal{0.0015, 0.25};
        const double one = calc::tension(pieces, metal, 1395, calc::Ends::left, 195000, 0).elongLeft;
        QVERIFY2(qAbs(one - integrated({&a, &b, &c}, metal, 1395, 195000)) < 0.2, qPrintable(QString::number(one)));
        const calc::Tensioning two = calc::tension(pieces, metal, 1395, calc::Ends::both, 195000, 0);
        QVERIFY(qAbs(two.elongLeft - two.elongRight) < 0.05);
        QVERIFY(qAbs(two.divide - whole.length / 2.0) < 20);

        // The supports: level where e3 of one span is e1 of the next, a step
        // where it is not; C2a's right end stands lg1 - e2 below the top.
        QVERIFY(!whole.supports[0].stepped() && !whole.supports[1].stepped());
        const calc::Tendon deeper = c4({"180", "100", "120", "0.1", "0.5", "0.1", "12000", "1200", ""});
        const calc::Tendon c2a = calc::computeTendon(calc::Profile::c2a, {"120", "150", "", "", "", "", "16000", "1000", "0"});
        const std::array stepped{&a, &deeper, &c2a, &a};
        const std::vector<calc::Support> joints = calc::continuousTendon(stepped).supports;
        QCOMPARE(joints.size(), std::size_t(3));
        QVERIFY(joints[0].stepped() && joints[0].leftBelowTop == 120 && joints[0].rightBelowTop == 180);
        QVERIFY(!joints[1].stepped());
        QVERIFY(joints[2].stepped() && joints[2].leftBelowTop == 850 && joints[2].rightBelowTop == 150);
    }

    void anchoringAgainstPublishedFigures()
    {
        // GB 50010 appendix J, a gentle parabola taken as a circular arc of
        // radius rc with friction falling in a straight line: lf =
        // √(a·Ep/(1000·σcon·(μ/rc + κ))) m, σl1 = 2·σcon·lf·(μ/rc + κ). The
        // C2a with tangent halves is one parabola, y = 4E-06·x², rc = 125 m.
        // Exponential friction reaches further and loses less: on this arc
        // lf is 2.9 % longer and σl1 2.8 % smaller (measured; an exact
        // exponential arc gives 15 915 mm and 147.07 MPa).
        const calc::Tendon arc = calc::computeTendon(calc::Profile::c2a, {"100", "100", "", "", "", "", "20000", "1000", "0"});
        const calc::Duct metal{0.0015, 0.25};
        const std::vector<calc::Piece> pieces = calc::tensioningPieces(arc);
        const calc::Anchoring anchored = calc::anchor(pieces, metal, 1395, calc::Ends::left, calc::LockOff::together, 195000, 6, calc::tension(pieces, metal, 1395, calc::Ends::left, 195000, 0));
        const double perMetre = 0.25 / 125 + 0.0015, lf = std::sqrt(6 * 195000 / (1000 * 1395 * perMetre)) * 1000;
        const double loss = 2 * 1395 * lf / 1000 * perMetre;
        QCOMPARE(anchored.reach[0], calc::Anchoring::within);
        QVERIFY2(anchored.lf[0] / lf - 1 > 0.025 && anchored.lf[0] / lf - 1 < 0.032, qPrintable(QString::number(anchored.lf[0])));
        QVERIFY2(1 - anchored.loss[0] / loss > 0.025 && 1 - anchored.loss[0] / loss < 0.031, qPrintable(QString::number(anchored.loss[0])));
        QVERIFY(qAbs(anchored.lf[0] - 15915) < 30);

        // The US worked example (inches and ksi; κ per 1000 in): 202.5 ksi,
        // set 0.375 in, Ep 28 000 ksi, μ 0.25, k 0.0002/ft, three 30 ft
        // pieces turning 0.2 rad each: 48.79 ft and 35.87 ksi with friction
        // as a straight line, 11.03 ksi a piece. Exponential friction growing
        // evenly along each piece: 50.41 ft (+3.3 %) and 34.74 ksi (−3.2 %).
        const std::vector<calc::Piece> us{{360, 0.2, 0, 360}, {360, 0.2, 360, 720}, {360, 0.2, 720, 1080}};
        const calc::Duct usDuct{0.0002 / 12 * 1000, 0.25};
        const calc::Anchoring seated =
            calc::anchor(us, usDuct, 202.5, calc::Ends::left, calc::LockOff::together, 28000, 0.375, calc::tension(us, usDuct, 202.5, calc::Ends::left, 28000, 0));
        QVERIFY2(qAbs(seated.lf[0] / 12 - 50.41) < 0.01 && qAbs(seated.loss[0] - 34.74) < 0.01,
                 qPrintable(QString("%1 ft %2 ksi").arg(seated.lf[0] / 12).arg(seated.loss[0])));
        QVERIFY(seated.lf[0] / 12 / 48.79 - 1 < 0.035 && 1 - seated.loss[0] / 35.87 < 0.035);
    }

    void anchoringAgainstTheCurve()
    {
        // The reach worked out on the stress walked along the actual
        // parabolas, where θ does not grow evenly along a segment: within
        // 1.9 % of lf and 0.6 % of σl1 (measured at most 1.8 % and 0.5 %, at
        // the shortest reach, which ends just past the steep first segment).
        const calc::Duct metal{0.0015, 0.25};
        const calc::Tendon gentle = calc::computeTendon(calc::Profile::c4, {"150", "90", "120", "0.12", "0.45", "0.08", "17970", "1200", ""});
        const std::vector<calc::Piece> pieces = calc::tensioningPieces(gentle);
        const std::vector<Step> steps = walked({&gentle}, metal, 1395);
        for (double set : {1.0, 6.0, 8.0}) {
            const calc::Anchoring a = calc::anchor(pieces, metal, 1395, calc::Ends::left, calc::LockOff::together, 195000, set, calc::tension(pieces, metal, 1395, calc::Ends::left, 195000, 0));
            const auto [lf, loss] = reached(steps, 1395, set, 195000);
            QVERIFY2(qAbs(a.lf[0] / lf - 1) < 0.019 && qAbs(a.loss[0] / loss - 1) < 0.006,
                     qPrintable(QString("set %1: %2 %3").arg(set).arg(a.lf[0]).arg(a.loss[0])));
        }
    }

    // Each way a set zone can end, on the stress before and after anchoring
    // as runs: the loss is taken off, never added; the shortening makes up
    // the draw-in (each side of the point that does not move, where two
    // zones meet); the stress after anchoring meets the stress before it at
    // a zone's end, and is continuous where two zones meet.
    void anchoringRules()
    {
        const auto c4 = [](const char *lc) {
            return calc::computeTendon(calc::Profile::c4, {"150", "90", "120", "0.12", "0.45", "0.08", lc, "1200", ""});
        };
        const calc::Tendon long20 = c4("20000"), short4 = calc::computeTendon(calc::Profile::c2a, {"100", "100", "", "", "", "", "4000", "300", "0"}), mirrored = calc::computeTendon(calc::Profile::c4, {"120", "90", "150", "0.08", "0.45", "0.12", "17970", "1200", ""});
        const calc::Tendon middle = calc::computeTendon(calc::Profile::c4, {"120", "100", "120", "0.1", "0.5", "0.1", "12000", "1200", ""});
        const calc::Tendon first = c4("17970");
        const std::array three{&first, &middle, &mirrored};
        const std::vector<calc::Piece> continuous = calc::continuousTendon(three).pieces;
        using A = calc::Anchoring;
        using E = calc::Ends;
        using O = calc::LockOff;
        struct Case {
            const char *name;
            std::vector<calc::Piece> pieces;
            E ends;
            O order;
            double set;
            std::array<A::Reach, 2> reach;
            bool slack = false;
        };
        const Case cases[]{
            {"one end", calc::tensioningPieces(long20), E::left, O::together, 6, {A::within, A::within}},
            {"one end from the right", calc::tensioningPieces(long20), E::right, O::together, 6, {A::within, A::within}},
            {"two ends together, the zones meet", calc::tensioningPieces(long20), E::both, O::together, 6, {A::met, A::met}},
            {"two ends, the left first slides through", calc::tensioningPieces(long20), E::both, O::leftFirst, 6, {A::slidThrough, A::within}},
            {"two ends, the right first, the left's zone ending in its zone", calc::tensioningPieces(long20), E::both, O::rightFirst, 6, {A::within, A::within}},
            {"three spans, two ends", continuous, E::both, O::together, 6, {A::within, A::within}},
            {"three spans, the right first", continuous, E::both, O::rightFirst, 6, {A::within, A::within}},
            {"short, one end", calc::tensioningPieces(short4), E::left, O::together, 6, {A::wholeLength, A::within}},
            {"short, two ends together", calc::tensioningPieces(short4), E::both, O::together, 6, {A::met, A::met}},
            {"short, the second reaches the first anchor", calc::tensioningPieces(short4), E::both, O::leftFirst, 6, {A::slidThrough, A::wholeLength}},
            {"slack", calc::tensioningPieces(short4), E::left, O::together, 40, {A::wholeLength, A::within}, true},
        };
        const calc::Duct metal{0.0015, 0.25};
        const auto valueAt = [](const std::vector<calc::StressRun> &runs, double s) {
            const auto run = std::find_if(runs.begin(), runs.end(), [&](const calc::StressRun &r) { return s <= r.s1; });
            return std::exp(run->ln0 + run->slope * (s - run->s0));
        };
        // The shortening over [from, to] by Simpson's rule, mm.
        const auto shortening = [&](const calc::Anchoring &a, double from, double to) {
            constexpr int n = 20000;
            double sum = 0;
            for (int k = 0; k <= n; ++k) {
                const double s = from + (to - from) * k / n, w = k == 0 || k == n ? 1 : k % 2 ? 4 : 2;
                sum += w * (valueAt(a.before, s) - valueAt(a.after, s)) * (to - from) / n / 3 / 195000;
            }
            return sum;
        };
        for (const Case &c : cases) {
            const calc::Tensioning t = calc::tension(c.pieces, metal, 1395, c.ends, 195000, 0);
            const calc::Anchoring a = calc::anchor(c.pieces, metal, 1395, c.ends, c.order, 195000, c.set, t);
            for (int end = 0; end < 2; ++end)
                QVERIFY2(!calc::jackedAt(c.ends, end) || a.reach[std::size_t(end)] == c.reach[std::size_t(end)], c.name);
            QVERIFY2(a.slack == c.slack, c.name);
            double lowest = INFINITY;
            for (int k = 0; k <= 4000; ++k) {
                const double s = a.length * k / 4000, before = valueAt(a.before, s), after = valueAt(a.after, s);
                QVERIFY2(after <= before * (1 + 1e-12), c.name);
                lowest = std::min(lowest, after);
            }
            QVERIFY2(a.lowest <= lowest + 1e-9 && a.lowest > lowest - 0.5, c.name);
            const bool met = a.reach[0] == A::met, slid = a.reach[0] == A::slidThrough || a.reach[1] == A::slidThrough;
            if (met) {
                QVERIFY2(qAbs(shortening(a, 0, a.meeting) - c.set) < 0.01 && qAbs(shortening(a, a.meeting, a.length) - c.set) < 0.01, c.name);
                QVERIFY2(qAbs(valueAt(a.after, a.meeting - 1e-6) - valueAt(a.after, a.meeting + 1e-6)) < 1e-3, c.name);
            } else if (!slid && !c.slack && a.reach[1] != A::wholeLength) {
                QVERIFY2(qAbs(shortening(a, 0, a.length) - c.set * calc::jackedEnds(c.ends)) < 0.01,
                         qPrintable(QString("%1: %2").arg(c.name).arg(shortening(a, 0, a.length))));
            }
            for (int end = 0; end < 2; ++end)
                if (calc::jackedAt(c.ends, end) && a.reach[std::size_t(end)] == A::within) {
                    const double s = end ? a.length - a.lf[1] : a.lf[0];
                    QVERIFY2(qAbs(valueAt(a.after, s) - valueAt(a.after, s + (end ? -1e-6 : 1e-6))) < 1e-3, c.name);
                }
        }
        // Jacked from the right, a tendon is the same tendon turned round jacked from the left.
        const std::vector<calc::Piece> pieces = calc::tensioningPieces(long20);
        std::vector<calc::Piece> turned;
        for (auto p = pieces.rbegin(); p != pieces.rend(); ++p)
            turned.push_back({p->length, p->theta, pieces.back().to - p->to, pieces.back().to - p->from});
        const calc::Tensioning right = calc::tension(pieces, metal, 1395, E::right, 195000, 500);
        const calc::Tensioning left = calc::tension(turned, metal, 1395, E::left, 195000, 500);
        QVERIFY(qAbs(right.elongRight - left.elongLeft) < 1e-9 && right.elongLeft == 0 && right.divide == 0);
        const calc::Anchoring fromRight = calc::anchor(pieces, metal, 1395, E::right, O::together, 195000, 6, right);
        const calc::Anchoring fromLeft = calc::anchor(turned, metal, 1395, E::left, O::together, 195000, 6, left);
        QVERIFY(qAbs(fromRight.loss[1] - fromLeft.loss[0]) < 1e-9 && qAbs(fromRight.lf[1] - fromLeft.lf[0]) < 1e-6 && fromRight.loss[0] == 0);
    }

    // Two ends whose set zones would reach each other, by lock-off order, on
    // the C4 of 8 m whose zones meet at any order, and on an asymmetric one,
    // against the strand in small steps: together, bisecting for the point
    // that does not move (on a symmetric tendon it is mid-span, K = (∫σ −
    // a·Ep)/∫dx/σ over the half); one end first, the first anchor at
    // σcon·e^−Z and the second's reach searched step by step on the other
    // jack's own stress.
    void lockOffOrder()
    {
        const calc::Duct metal{0.0015, 0.25};
        const calc::Tendon c4 = calc::computeTendon(calc::Profile::c4, {"100", "80", "100", "0.1", "0.5", "0.1", "8000", "700", ""});
        const calc::Tendon skew = calc::computeTendon(calc::Profile::c4, {"150", "90", "120", "0.12", "0.45", "0.08", "20000", "1200", ""});
        for (const calc::Tendon *tendon : {&c4, &skew}) {
            const std::vector<calc::Piece> pieces = calc::tensioningPieces(*tendon);
            const calc::Tensioning t = calc::tension(pieces, metal, 1395, calc::Ends::both, 195000, 0);
            const auto anchored = [&](calc::LockOff order) { return calc::anchor(pieces, metal, 1395, calc::Ends::both, order, 195000, 6, t); };
            const Strand strand = stepped(pieces, metal, 1395);
            const auto [left, right, at] = lockedTogether(strand, 1395, 6 * 195000);
            const calc::Anchoring together = anchored(calc::LockOff::together);
            QVERIFY2(qAbs(together.loss[0] - left) < 0.05 && qAbs(together.loss[1] - right) < 0.05 && qAbs(together.meeting - at) < 1,
                     qPrintable(QString("%1 %2 %3 against %4 %5 %6").arg(together.loss[0]).arg(together.loss[1]).arg(together.meeting).arg(left).arg(right).arg(at)));
            const calc::Anchoring leftFirst = anchored(calc::LockOff::leftFirst);
            const double z = std::log(1395 / t.sigmaFar) * 2;
            QVERIFY(qAbs(leftFirst.loss[0] - 1395 * (1 - std::exp(-z))) < 1e-6 && leftFirst.lf[0] == leftFirst.length);
            std::vector<Step> fromRight;
            for (std::size_t k = strand.right.size(); k-- > 0;)
                fromRight.push_back({strand.ds, strand.right[k]});
            const double second = reached(fromRight, 1395, 6, 195000).second;
            QVERIFY2(qAbs(leftFirst.loss[1] - second) < 0.05, qPrintable(QString("%1 against %2").arg(leftFirst.loss[1]).arg(second)));
        }
        // The figures a checker would query on the C4 of 8 m.
        const std::vector<calc::Piece> pieces = calc::tensioningPieces(c4);
        const calc::Tensioning t = calc::tension(pieces, metal, 1395, calc::Ends::both, 195000, 0);
        const auto anchored = [&](calc::LockOff order) { return calc::anchor(pieces, metal, 1395, calc::Ends::both, order, 195000, 6, t); };
        const calc::Anchoring together = anchored(calc::LockOff::together), leftFirst = anchored(calc::LockOff::leftFirst),
                              rightFirst = anchored(calc::LockOff::rightFirst);
        QVERIFY(qAbs(together.loss[0] - 485.1) < 0.2 && qAbs(together.loss[1] - 485.1) < 0.2 && qAbs(together.meeting - together.length / 2) < 1e-6);
        // Symmetric, x* is mid-span: K = (∫σ − a·Ep)/∫dx/σ over the half, the anchor at K/σcon.
        const Strand strand = stepped(pieces, metal, 1395);
        double integral = 0, inverse = 0;
        for (std::size_t k = 0; k < strand.before.size() / 2; ++k) {
            integral += strand.before[k] * strand.ds;
            inverse += strand.ds / strand.before[k];
        }
        QVERIFY(qAbs(together.loss[0] - (1395 - (integral - 6 * 195000) / inverse / 1395)) < 0.01);
        QVERIFY(qAbs(leftFirst.loss[0] - 326.4) < 0.05 && qAbs(leftFirst.loss[1] - 443.5) < 0.05);
        QVERIFY(qAbs(rightFirst.loss[1] - leftFirst.loss[0]) < 1e-6 && qAbs(rightFirst.loss[0] - leftFirst.loss[1]) < 1e-6);
    }
};

QTEST_APPLESS_MAIN(TensioningTest)
#include "tst_tensioning.moc"
