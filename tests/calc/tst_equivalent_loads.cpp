// A tendon's equivalent loads against the statics they must satisfy: under a
// constant force (no friction) the loads on the beam balance, up and down and
// in moment, for a C4, a C2a whose parabolas kink and step at mid-span, and
// a tendon through two spans with a step at the support; each segment's
// uniform load is 2·N·d/x² for its drop d (from the profile's heights, not
// its slopes) over its horizontal run x, up where the tendon sags; and under
// friction the horizontal forces leave the difference of the end forces.

#include "calc/equivalent_loads.h"
#include "numeric/number_text.h"

#include <QTest>

#include <cmath>
#include <memory>

namespace {

constexpr double force = 1e6; // N: 1000 kN

std::unique_ptr<calc::ProfileGeometry> profile(calc::Profile kind, const calc::HeldParameters &held)
{
    calc::Coefficients coefficients;
    calc::computeEquations(kind, held, coefficients);
    std::array<double, 4> a{};
    for (int i = 0; i < coefficients.known; ++i)
        a[std::size_t(i)] = numeric::readNumber(coefficients.text[std::size_t(i)]);
    return std::make_unique<calc::ProfileGeometry>(kind, held, a);
}

const calc::HeldParameters c4Atlas{100, 100, 100, 0.1, 0.5, 0.1, 20000, 1000, 0};
const calc::HeldParameters c4Asymmetric{150, 90, 120, 0.12, 0.45, 0.08, 17970, 1200, 0};
const calc::HeldParameters c2aStepped{100, 80, 0, 0, 0.5, 0, 20000, 1000, 200}; // e1 ≠ e2 kinks, lg2 steps

void balanced(const std::vector<calc::Load> &loads, double length)
{
    const calc::Balance sums = calc::balance(loads);
    QVERIFY2(std::abs(sums.vertical) < 1e-6 * force, qPrintable(QString::number(sums.vertical)));
    QVERIFY2(std::abs(sums.horizontal) < 1e-6 * force, qPrintable(QString::number(sums.horizontal)));
    QVERIFY2(std::abs(sums.moment) < 1e-6 * force * length, qPrintable(QString::number(sums.moment)));
}

} // namespace

class EquivalentLoadsTest : public QObject {
    Q_OBJECT

private slots:
    void constantForceBalances_data();
    void constantForceBalances();
    void twoSpansBalance();
    void frictionLeavesTheEndForces();
};

void EquivalentLoadsTest::constantForceBalances_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<calc::HeldParameters>("held");
    QTest::newRow("C4, the atlas example") << int(calc::Profile::c4) << c4Atlas;
    QTest::newRow("C4, asymmetric") << int(calc::Profile::c4) << c4Asymmetric;
    QTest::newRow("C2a, kinked and stepped at mid-span") << int(calc::Profile::c2a) << c2aStepped;
}

void EquivalentLoadsTest::constantForceBalances()
{
    QFETCH(int, kind);
    QFETCH(calc::HeldParameters, held);
    const auto geometry = profile(calc::Profile(kind), held);
    const calc::LoadedSpan span{geometry.get(), 0, 500};
    const std::vector<calc::Load> loads = calc::equivalentLoads(std::span(&span, 1), [](double) { return force; });
    balanced(loads, held.lc);
    // Each segment's load from its drop over its run: one end of every run
    // is a vertex, where the tendon is level.
    int segment = 0;
    for (const calc::Load &load : loads) {
        if (load.kind != calc::LoadKind::uniform)
            continue;
        ++segment;
        const double x = load.to - load.from;
        const double drop = geometry->height(segment, load.to) - geometry->height(segment, load.from);
        const bool sags = kind == int(calc::Profile::c4) ? segment == 2 || segment == 3 : segment == 2;
        const double w = 2 * force * std::abs(drop) / (x * x) * (sags ? 1 : -1);
        QVERIFY2(std::abs(load.value - w) < 1e-9 * std::abs(w), qPrintable(QStringLiteral("segment %1: %2 against %3").arg(segment).arg(load.value).arg(w)));
    }
    QCOMPARE(segment, geometry->segmentCount());
    // C2a: its kink and its step at mid-span are loads of their own.
    if (kind == int(calc::Profile::c2a)) {
        QVERIFY(std::count_if(loads.begin(), loads.end(), [](const calc::Load &l) { return l.kind == calc::LoadKind::moment && l.from == 10000; }) == 1);
        QVERIFY(std::count_if(loads.begin(), loads.end(), [](const calc::Load &l) { return l.kind == calc::LoadKind::concentrated && l.from == 10000; }) == 1);
    }
}

void EquivalentLoadsTest::twoSpansBalance()
{
    // A C4 then a C2a, the second a deeper beam with its own centroid: the
    // support's step is a moment, the axial forces act at each end's centroid.
    const auto left = profile(calc::Profile::c4, c4Atlas);
    const auto right = profile(calc::Profile::c2a, {150, 90, 0, 0, 0.5, 0, 16000, 1100, 0});
    const calc::LoadedSpan spans[]{{left.get(), 0, 500}, {right.get(), 20000, 560}};
    const std::vector<calc::Load> loads = calc::equivalentLoads(spans, [](double) { return force; });
    balanced(loads, 36000);
    QVERIFY(std::any_of(loads.begin(), loads.end(), [](const calc::Load &l) { return l.kind == calc::LoadKind::moment && l.from == 20000; }));
}

void EquivalentLoadsTest::frictionLeavesTheEndForces()
{
    const auto geometry = profile(calc::Profile::c4, c4Asymmetric);
    const calc::LoadedSpan span{geometry.get(), 0, 600};
    const auto falling = [](double x) { return force * std::exp(-0.0015 * x / 1000); };
    const calc::Balance sums = calc::balance(calc::equivalentLoads(std::span(&span, 1), falling));
    QVERIFY(std::abs(sums.horizontal - (falling(0) - falling(17970))) < 1e-6);
    // The vertical residual is friction's, a small part of the loads.
    QVERIFY(std::abs(sums.vertical) < 0.01 * force * 0.1);
}

QTEST_GUILESS_MAIN(EquivalentLoadsTest)
#include "tst_equivalent_loads.moc"
