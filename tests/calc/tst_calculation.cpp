// Coefficients and strand length on in-memory boxes: the failure paths, each
// with the boxes it must leave, and the segment length against the closed
// form of a parabola's arc length.

#include "calc/coefficients.h"
#include "calc/messages.h"
#include "calc/strand_length.h"
#include "fake_window.h"
#include "numeric/failure.h"

#include <QTest>

#include <cmath>
#include <functional>

using testing::FakeWindow;
using numeric::FailureKind;

namespace {

QString q(const std::string &text) { return QString::fromStdString(text); }

// The boxes of a C4 profile as entering e1 = e2 = e3 = 100, k1 = 0.1,
// k2 = 0.5, k3 = 0.1, lc = 20000 and lg1 = 1000 leaves them.
FakeWindow c4Entered()
{
    FakeWindow w;
    w.selected = calc::profile::c4;
    w.boxes = {"", "100", "100", "100", "0.1", "0.5", "0.1", "20000", "1000", " 无此值 ",
               "", "", "", "", "", " 请点击：计算抛物线方程 "};
    return w;
}

FakeWindow c2aWith(const std::string &lc, const std::string &a)
{
    FakeWindow w;
    w.selected = calc::profile::c2a;
    w.boxes = {"", "100", "100", " 无此值 ", " 无此值 ", "0.5", " 无此值 ", lc, "1000", "0",
               a, a, " 无此方程 ", " 无此方程 ", "Text14", " 请点击：开始计算 "};
    return w;
}

// Runs a click that must fail; returns its failure.
numeric::Failure failing(const std::function<void()> &click)
{
    try {
        click();
    } catch (const numeric::Failure &failure) {
        return failure;
    }
    QTest::qFail("the click did not fail", __FILE__, __LINE__);
    return numeric::Failure(FailureKind::Overflow);
}

// The arc length of y = x^2 / (2p) from the vertex to x, in closed form.
long double closedForm(long double x, long double p)
{
    const long double s = x / p;
    return x / 2 * std::sqrt(1 + s * s) + p / 2 * std::asinh(s);
}

} // namespace

class CalculationTest : public QObject {
    Q_OBJECT

private slots:
    void c4AfterC2aFailsAtThirdParameter();
    void negativeCoefficientIsRefused();
    void longC2aBeamExceedsTheLimit();
    void zeroBeamLengthLeavesCoefficients();
    void negativeHorizontalLengthIsRefused();
    void zeroHorizontalLengthIsASegmentOfZero();
    void beamHeightsAreWholeMillimetres();
    void coefficientTypedOverIsUsedAsTyped();
    void beamHeightOutOfRangeFailsWithNoProfile();
    void segmentLengthMatchesClosedForm();
};

void CalculationTest::c4AfterC2aFailsAtThirdParameter()
{
    // C2a's " 无此方程 " texts read 0, so a C4 length right after a C2a
    // calculation has no parabola 3.
    FakeWindow w = c2aWith("20000", "4E-06");
    calc::computeStrandLength(w);
    QCOMPARE(q(w.boxes[14]), QStringLiteral("20022"));
    w.selected = calc::profile::c4;
    w.boxes[4] = "0.1";
    w.boxes[6] = "0.1";

    const numeric::Failure failure = failing([&] { calc::computeStrandLength(w); });
    QCOMPARE(failure.kind(), FailureKind::DivisionByZero);
    QVERIFY(q(failure.context()).contains(QStringLiteral("a3")));
    QCOMPARE(q(w.boxes[14]), QString());
    QCOMPARE(q(w.boxes[15]), QStringLiteral(" 请查看：计算结果 "));
}

void CalculationTest::negativeCoefficientIsRefused()
{
    FakeWindow w = c2aWith("20000", "4E-06");
    w.boxes[11] = "-4E-06";
    const numeric::Failure failure = failing([&] { calc::computeStrandLength(w); });
    QCOMPARE(failure.kind(), FailureKind::InvalidArgument);
    QVERIFY(q(failure.context()).contains(QStringLiteral("a2")));
    QCOMPARE(q(w.boxes[14]), QString());
    QCOMPARE(q(w.boxes[15]), QStringLiteral(" 请点击：开始计算 "));
}

void CalculationTest::longC2aBeamExceedsTheLimit()
{
    // Each half is 28263 mm; together they pass the 32767 mm a short integer holds.
    FakeWindow w = c2aWith("30000", "0.0001");
    const numeric::Failure failure = failing([&] { calc::computeStrandLength(w); });
    QCOMPARE(failure.kind(), FailureKind::Overflow);
    QVERIFY(q(failure.context()).contains(QStringLiteral("32767 mm")));
    QCOMPARE(q(w.boxes[14]), QString());

    // A single segment beyond the limit says so too.
    FakeWindow one = c2aWith("60000", "0.0001");
    const numeric::Failure segment = failing([&] { calc::computeStrandLength(one); });
    QCOMPARE(segment.kind(), FailureKind::Overflow);
    QVERIFY(q(segment.context()).contains(QStringLiteral("第 1 段")));
    QVERIFY(q(segment.context()).contains(QStringLiteral("32767 mm")));
}

void CalculationTest::zeroBeamLengthLeavesCoefficients()
{
    FakeWindow w = c4Entered();
    w.boxes[7] = "0";
    w.boxes[10] = "old a1";
    const numeric::Failure failure = failing([&] { calc::computeCoefficients(w); });
    QCOMPARE(failure.kind(), FailureKind::DivisionByZero);
    QCOMPARE(q(w.boxes[10]), QStringLiteral("old a1"));
    QCOMPARE(q(w.boxes[15]), QStringLiteral(" 请点击：计算抛物线方程 "));

    // k2 = 1 leaves no room right of the lowest point: a1 and a2 are written,
    // a3 fails and a4 keeps its old text.
    FakeWindow right = c4Entered();
    right.boxes[5] = "1";
    right.boxes[13] = "old a4";
    QCOMPARE(failing([&] { calc::computeCoefficients(right); }).kind(),
             FailureKind::DivisionByZero);
    QCOMPARE(q(right.boxes[10]), QStringLiteral("2E-05"));
    QVERIFY(!right.boxes[11].empty());
    QCOMPARE(q(right.boxes[12]), QString());
    QCOMPARE(q(right.boxes[13]), QStringLiteral("old a4"));
}

void CalculationTest::negativeHorizontalLengthIsRefused()
{
    // Coefficients typed by hand over a profile whose lowest point lies left
    // of its left inflection point: segment 2 would count negative.
    FakeWindow w = c4Entered();
    w.boxes[4] = "0.6";
    for (int n = 10; n <= 13; ++n)
        w.boxes[n] = "1E-05";
    const numeric::Failure failure = failing([&] { calc::computeStrandLength(w); });
    QCOMPARE(failure.kind(), FailureKind::InvalidArgument);
    QVERIFY(q(failure.context()).contains(QStringLiteral("第 2 段")));
    QVERIFY(q(failure.context()).contains(QStringLiteral("k1 不得大于 k2")));
    QCOMPARE(q(w.boxes[14]), QString());
    QCOMPARE(q(w.boxes[15]), QStringLiteral(" 请点击：计算抛物线方程 "));

    // k2 + k3 beyond 1: segment 3.
    FakeWindow beyond = c4Entered();
    beyond.boxes[6] = "0.6";
    for (int n = 10; n <= 13; ++n)
        beyond.boxes[n] = "1E-05";
    QVERIFY(q(failing([&] { calc::computeStrandLength(beyond); }).context())
                .contains(QStringLiteral("k2 + k3 不得大于 1")));
}

void CalculationTest::zeroHorizontalLengthIsASegmentOfZero()
{
    FakeWindow w = c4Entered();
    w.boxes[4] = "0";
    w.boxes[10] = "4E-05";
    w.boxes[11] = "1E-05";
    w.boxes[12] = "1E-05";
    w.boxes[13] = "4E-05";
    calc::computeStrandLength(w);
    // 0 + F(10000, 50000) + 8034 + 2009.
    QCOMPARE(q(w.boxes[14]), QString::number(0 + std::lround(double(closedForm(10000, 50000)))
                                             + 8034 + 2009));
}

void CalculationTest::beamHeightsAreWholeMillimetres()
{
    FakeWindow typed = c2aWith("20000", "");
    typed.boxes[8] = "1500.5";
    FakeWindow whole = c2aWith("20000", "");
    whole.boxes[8] = "1500";
    calc::computeCoefficients(typed);
    calc::computeCoefficients(whole);
    QCOMPARE(q(typed.boxes[10]), QStringLiteral("6.5E-06"));
    for (int n = 10; n <= 15; ++n)
        QCOMPARE(typed.boxes[n], whole.boxes[n]);
}

void CalculationTest::coefficientTypedOverIsUsedAsTyped()
{
    FakeWindow w = c2aWith("20000", "4E-06");
    w.boxes[10] = "5e-6 typed";
    calc::computeStrandLength(w);
    const long first = std::lround(double(closedForm(10000, 100000)));
    QCOMPARE(q(w.boxes[14]), QString::number(first + 10011));
    QCOMPARE(q(w.boxes[10]), QStringLiteral("5e-6 typed")); // not recomputed
}

void CalculationTest::beamHeightOutOfRangeFailsWithNoProfile()
{
    FakeWindow w = c4Entered();
    w.selected = 0;
    w.boxes[9] = "40000";
    const FakeWindow before = w;
    const numeric::Failure failure = failing([&] { calc::computeCoefficients(w); });
    QCOMPARE(failure.kind(), FailureKind::Overflow);
    QVERIFY(q(failure.context()).contains(QStringLiteral("lg2")));
    QCOMPARE(w.boxes, before.boxes);

    w.boxes[9] = "0";
    calc::computeCoefficients(w); // nothing selected: nothing written
    FakeWindow expected = before;
    expected.boxes[9] = "0";
    QCOMPARE(w.boxes, expected.boxes);
}

void CalculationTest::segmentLengthMatchesClosedForm()
{
    int compared = 0;
    for (double p = 100; p <= 1e7; p *= 1.7) {
        for (double x = 0; x <= 40000; x += 173.3) {
            const long double exact = closedForm(x, p);
            if (exact > 1e5)
                continue;
            const double ours = calc::segmentLength(x, p);
            QVERIFY2(std::fabs(ours - double(exact)) < 1e-6,
                     qPrintable(QStringLiteral("x=%1 p=%2: %3 vs %4")
                                    .arg(x)
                                    .arg(p)
                                    .arg(ours, 0, 'g', 17)
                                    .arg(double(exact), 0, 'g', 17)));
            ++compared;
        }
    }
    QVERIFY(compared > 3000);
    QVERIFY_THROWS_EXCEPTION(numeric::Failure, calc::segmentLength(100, -12500));
}

QTEST_APPLESS_MAIN(CalculationTest)
#include "tst_calculation.moc"
