// The losses after anchoring against hand calculations: σl4 by both of
// table 10.2.1's formulas for low relaxation, on each side of 0.7 fptk and at
// it, by the ordinary one and below 0.5 fptk; σl5 at one point, damp and
// dry, and beyond 0.5 f′cu; a rectangular and a T section, gross and less a
// duct, and σpc on them; the 80 MPa floor. The sections' figures were worked
// out apart from the code, part by part by the parallel axes.

#include "calc/long_term.h"

#include <QTest>

#include <cmath>

using calc::Relaxation;

class LongTermTest : public QObject {
    Q_OBJECT

private slots:
    void relaxation_data();
    void relaxation();
    void shrinkageAndCreep();
    void sections_data();
    void sections();
    void precompressionAndFloor();
};

void LongTermTest::relaxation_data()
{
    QTest::addColumn<double>("sigmaCon");
    QTest::addColumn<int>("kind");
    QTest::addColumn<double>("loss");
    const int low = int(Relaxation::low), ordinary = int(Relaxation::ordinary);
    // fptk 1860 throughout.
    QTest::newRow("low, 0.75 fptk: 0.2(0.75 - 0.575)·1395") << 1395.0 << low << 48.825;
    QTest::newRow("low, 0.7 fptk: both formulas 32.55") << 1302.0 << low << 32.55;
    QTest::newRow("low, 0.6 fptk: 0.125(0.6 - 0.5)·1116") << 1116.0 << low << 13.95;
    QTest::newRow("low, 0.8 fptk: 0.2(0.8 - 0.575)·1488") << 1488.0 << low << 66.96;
    QTest::newRow("ordinary, 0.75 fptk: 0.4(0.75 - 0.5)·1395") << 1395.0 << ordinary << 139.5;
    QTest::newRow("at 0.5 fptk none") << 930.0 << low << 0.0;
    QTest::newRow("below 0.5 fptk none, not negative") << 800.0 << ordinary << 0.0;
}

void LongTermTest::relaxation()
{
    QFETCH(double, sigmaCon);
    QFETCH(int, kind);
    QFETCH(double, loss);
    QVERIFY2(std::abs(calc::relaxationLoss(sigmaCon, 1860, Relaxation(kind)) - loss) < 1e-9,
             qPrintable(QString::number(calc::relaxationLoss(sigmaCon, 1860, Relaxation(kind)), 'g', 17)));
}

void LongTermTest::shrinkageAndCreep()
{
    // σpc 10 MPa, f′cu 40, ρ 1 %: (55 + 75)/1.15.
    const calc::ShrinkageCreep damp = calc::shrinkageCreepLoss(10, 40, 0.01, false);
    QCOMPARE(damp.loss, 113.04347826086958);
    QVERIFY(damp.holds);
    QCOMPARE(calc::shrinkageCreepLoss(10, 40, 0.01, true).loss, 146.95652173913044);
    // Beyond half the cube strength the formula does not hold.
    QVERIFY(!calc::shrinkageCreepLoss(20.5, 40, 0.01, false).holds);
    QVERIFY(calc::shrinkageCreepLoss(20, 40, 0.01, false).holds);
}

void LongTermTest::sections_data()
{
    QTest::addColumn<double>("bf");
    QTest::addColumn<double>("hf");
    QTest::addColumn<double>("d");
    QTest::addColumn<double>("area");
    QTest::addColumn<double>("centroid");
    QTest::addColumn<double>("inertia");
    // A web 300 x 1000.
    QTest::newRow("rectangle") << 0.0 << 0.0 << 0.0 << 300000.0 << 500.0 << 2.5e10;
    QTest::newRow("a flange no wider than the web is none") << 300.0 << 150.0 << 0.0 << 300000.0 << 500.0 << 2.5e10;
    QTest::newRow("T, flange 1200 x 150") << 1200.0 << 150.0 << 0.0 << 435000.0 << 631.8965517241379 << 42069935344.82759;
    QTest::newRow("rectangle less a duct of 80 at 150") << 0.0 << 0.0 << 80.0 << 294973.4517542563 << 505.9642380544672
                                                        << 24371744384.982647;
}

void LongTermTest::sections()
{
    QFETCH(double, bf);
    QFETCH(double, hf);
    QFETCH(double, d);
    QFETCH(double, area);
    QFETCH(double, centroid);
    QFETCH(double, inertia);
    const calc::SectionProperties p = calc::Section{300, 1000, bf, hf}.net(1, d, 150);
    QVERIFY(std::abs(p.area - area) < 1e-6 * area);
    QVERIFY(std::abs(p.centroid - centroid) < 1e-9 * centroid);
    QVERIFY(std::abs(p.inertia - inertia) < 1e-9 * inertia);
}

void LongTermTest::precompressionAndFloor()
{
    // 1000 kN at 150 above the bottom of the rectangle, e = 350: 1e6/3e5 + 1e6·350²/2.5e10.
    const calc::SectionProperties rectangle = calc::Section{300, 1000}.gross();
    QVERIFY(std::abs(calc::precompression(rectangle, 1e6, 150, 150) - 8.233333333333334) < 1e-12);
    // At the top face the same force pulls: 1e6/3e5 − 1e6·350·500/2.5e10.
    QVERIFY(std::abs(calc::precompression(rectangle, 1e6, 150, 1000) - (10.0 / 3 - 7.0)) < 1e-12);
    // 2000 kN at 100 above the bottom of the T: e = 531.897.
    const calc::SectionProperties tee = calc::Section{300, 1000, 1200, 150}.gross();
    QVERIFY(std::abs(calc::precompression(tee, 2e6, 100, 100) - 18.04739815595098) < 1e-9);
    QCOMPARE(calc::totalLoss(20, 10, 15, 5), 80.0);
    QCOMPARE(calc::totalLoss(60, 30, 48.825, 113.0), 251.825);
}

QTEST_GUILESS_MAIN(LongTermTest)
#include "tst_long_term.moc"
