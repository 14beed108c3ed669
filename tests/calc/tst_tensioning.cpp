// Stressing a tendon: the published one-piece worked example, the symmetry
// two jacks must show on a symmetric tendon, and the closed form against the
// friction integrated step by step along the actual parabolas, of one span
// and of a tendon continuous through three.

#include "calc/continuous.h"
#include "calc/tensioning.h"
#include "numeric/number_text.h"

#include <QTest>

#include <array>
#include <cmath>
#include <initializer_list>

namespace {

// The elongation from one jack at the left end, integrating the stress
// σcon·e^-(κs + μθ(s)) along the curve in small steps, span after span.
// Segments 1 and 3 are passed from their vertex outwards, 2 and 4 towards it.
double integrated(std::initializer_list<const calc::Tendon *> spans, calc::Duct duct, double sigmaCon, double ep)
{
    double s = 0, theta = 0, elongation = 0;
    for (const calc::Tendon *t : spans) {
        for (std::size_t i = 0; i < t->length.segments.size(); ++i) {
            const double a = numeric::readNumber(t->coefficients.text[i]), x = t->length.segments[i].x;
            const bool outwards = i % 2 == 0;
            constexpr int steps = 20000;
            for (int n = 0; n < steps; ++n) {
                const double u0 = x * n / steps, u1 = x * (n + 1) / steps;
                const double from = outwards ? u0 : x - u0, to = outwards ? u1 : x - u1;
                const double mid = (from + to) / 2, ds = std::abs(to - from) * std::hypot(1.0, 2 * a * mid);
                const double sigma = sigmaCon * std::exp(-(duct.kappa * (s + ds / 2) / 1000 + duct.mu * theta));
                elongation += sigma * ds / ep;
                s += ds;
                theta += std::abs(std::atan(2 * a * to) - std::atan(2 * a * from));
            }
        }
    }
    return elongation;
}

} // namespace

class TensioningTest : public QObject {
    Q_OBJECT

private slots:
    void workedExample()
    {
        // 4 strands of 140 mm² jacked with 781 200 N: 742 648.6 N on average, 106.75 mm.
        const calc::Tensioning t = calc::tension({{15696.6, 0.314159265}}, {0.0015, 0.25}, 781200.0 / 560, 1, 195000, 0);
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
        const calc::Tensioning t = calc::tension(pieces, {0.0015, 0.25}, 1395, 2, 195000, 500);
        QVERIFY(qAbs(t.elongLeft - t.elongRight) < 1e-9);
        QVERIFY(qAbs(t.divide - 20086.0 / 2) < 1e-6);
        const calc::Tensioning one = calc::tension(pieces, {0.0015, 0.25}, 1395, 1, 195000, 500);
        QVERIFY(one.sigmaFar < t.sigmaFar && one.elongLeft > t.elongLeft);
        const calc::Tensioning free = calc::tension(pieces, {0, 0}, 1395, 2, 195000, 0); // no friction
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
        const double closed = calc::tension(calc::tensioningPieces(gentle), metal, 1395, 1, 195000, 0).elongLeft;
        QVERIFY2(qAbs(closed - integrated({&gentle}, metal, 1395, 195000)) < 0.1, qPrintable(QString::number(closed)));
        // A short deep beam turning 0.7 rad a piece: within 0.5 %.
        const calc::Tendon steep = calc::computeTendon(calc::Profile::c4, {"100", "100", "100", "0.1", "0.5", "0.1", "6000", "1500", ""});
        const double steepClosed = calc::tension(calc::tensioningPieces(steep), metal, 1395, 1, 195000, 0).elongLeft;
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
        QCOMPARE(whole.length, long(*a.length.total) + *b.length.total + *c.length.total);
        QVERIFY(whole.length > 32767);

        const calc::Duct metal{0.0015, 0.25};
        const double one = calc::tension(pieces, metal, 1395, 1, 195000, 0).elongLeft;
        QVERIFY2(qAbs(one - integrated({&a, &b, &c}, metal, 1395, 195000)) < 0.2, qPrintable(QString::number(one)));
        const calc::Tensioning two = calc::tension(pieces, metal, 1395, 2, 195000, 0);
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
};

QTEST_APPLESS_MAIN(TensioningTest)
#include "tst_tensioning.moc"
