// Stressing a tendon: the published one-piece worked example, and the
// symmetry two jacks must show on a symmetric tendon.

#include "calc/tensioning.h"

#include <QTest>

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

        // C2a: the kink at mid-span is 0 only where the parabolas are tangent (e1 = e2, lg2 = 0).
        const auto kink = [](const char *e2) {
            return calc::tensioningPieces(calc::computeTendon(calc::Profile::c2a, {"100", e2, "", "", "", "", "20000", "1000", "0"}))[1].theta;
        };
        QVERIFY(qAbs(kink("100")) < 1e-12 && kink("150") > 1e-3);
    }
};

QTEST_APPLESS_MAIN(TensioningTest)
#include "tst_tensioning.moc"
