// The numeric text rules at their boundaries, exact to the bit and to the
// character. Doubles are compared bit for bit: QCOMPARE's fuzzy comparison
// would hide exactly the last-digit faults these tests are for.

#include "numeric/arithmetic.h"
#include "numeric/failure.h"
#include "numeric/number_text.h"
#include "support/scripted_services.h"

#include <QTest>

#include <bit>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

Q_DECLARE_METATYPE(numeric::FailureKind)

namespace {

constexpr double infinity = std::numeric_limits<double>::infinity();
constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

bool sameDouble(double a, double b) { return std::bit_cast<quint64>(a) == std::bit_cast<quint64>(b); }

QByteArray show(double value) { return QByteArray::number(value, 'g', 17); }

#define QCOMPARE_EXACT(actual, expected)                                                          \
    do {                                                                                          \
        const double a_ = (actual), e_ = (expected);                                              \
        QVERIFY2(sameDouble(a_, e_), show(a_) + " != " + show(e_));                               \
    } while (false)

template <class F>
void expectFailure(F &&run, numeric::FailureKind kind)
{
    try {
        run();
    } catch (const numeric::Failure &failure) {
        QCOMPARE(failure.kind(), kind);
        return;
    }
    QFAIL("no failure");
}

} // namespace

class NumberTextTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void readNumber_data();
    void readNumber();
    void readNumberOverflows_data();
    void readNumberOverflows();

    void writeNumber_data();
    void writeNumber();
    void writeNumberRefusesNonFinite();
    void readBackIsExactAndStrict();

    void roundToShort_data();
    void roundToShort();
    void shortIntegers();

    void checkedArithmetic();
};

void NumberTextTest::initTestCase()
{
    // Run under a comma-decimal locale too (CTest does): the rules must not
    // ask the locale what a decimal point is.
    testing::checkCommaLocale();
}

void NumberTextTest::readNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");

    // What the boxes hold.
    QTest::newRow("empty box") << "" << 0.0;
    QTest::newRow("no-value placeholder") << " 无此值 " << 0.0;
    QTest::newRow("no-equation placeholder") << " 无此方程 " << 0.0;
    QTest::newRow("k2 of C2a") << "0.5" << 0.5;
    QTest::newRow("coefficient text") << "5.20833333333333E-06" << 5.20833333333333e-6;

    // What an engineer may type.
    QTest::newRow("unit after the number") << "12abc" << 12.0;
    QTest::newRow("comma is no decimal point") << "1,5" << 1.0;
    QTest::newRow("blank ends the number") << "20 000" << 20.0;
    QTest::newRow("exponent and sign") << "-3.5e2" << -350.0;
    QTest::newRow("plus sign") << "+7" << 7.0;
    QTest::newRow("blanks, tabs, line feeds first") << " \t\n 42" << 42.0;
    QTest::newRow("carriage return is no blank") << "\r42" << 0.0;
    QTest::newRow("point first") << ".5" << 0.5;
    QTest::newRow("point last") << "5." << 5.0;
    QTest::newRow("second point ends the number") << "1.2.3" << 1.2;
    QTest::newRow("exponent letter alone") << "1e" << 1.0;
    QTest::newRow("exponent sign alone") << "2E+" << 2.0;
    QTest::newRow("exponent without digits") << "3e-x" << 3.0;
    QTest::newRow("sign alone") << "-" << 0.0;
    QTest::newRow("point alone") << "." << 0.0;
    QTest::newRow("leading zeros") << "000123.4500" << 123.45;
    QTest::newRow("full-width digits are not digits") << "１２" << 0.0;
    QTest::newRow("words for no number") << "NaN" << 0.0;

    // The nearest double, to the last bit.
    QTest::newRow("tie rounds to even") << "9007199254740993" << 9007199254740992.0;
    QTest::newRow("many digits") << "0.1000000000000000055511151231257827021181583404541015625"
                                 << 0.1;
    QTest::newRow("largest double") << "1.7976931348623157e308"
                                    << std::numeric_limits<double>::max();
    QTest::newRow("smallest subnormal") << "4.9406564584124654e-324"
                                        << std::numeric_limits<double>::denorm_min();
    QTest::newRow("too small reads 0") << "1e-400" << 0.0;
    QTest::newRow("too small, negative") << "-1e-400" << -0.0;
    QTest::newRow("zero with a huge exponent") << "0e999999999999999999" << 0.0;
    QTest::newRow("long fraction, big exponent")
        << "0.0000000001e318" << 1e308;
}

void NumberTextTest::readNumber()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE_EXACT(numeric::readNumber(text.toStdString()), expected);
}

void NumberTextTest::readNumberOverflows_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("1e400") << "1e400";
    QTest::newRow("negative") << "-1e400";
    QTest::newRow("just past the largest double") << "1.8e308";
    QTest::newRow("exponent beyond any integer") << "1e99999999999999999999999";
    QTest::newRow("309 digits") << QString(309, QLatin1Char('9'));
}

void NumberTextTest::readNumberOverflows()
{
    QFETCH(QString, text);
    expectFailure([&] { numeric::readNumber(text.toStdString()); }, numeric::FailureKind::Overflow);
}

void NumberTextTest::writeNumber_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("half") << 0.5 << "0.5";
    QTest::newRow("fraction kept") << 1500.5 << "1500.5";
    QTest::newRow("a third, 15 digits") << 1.0 / 3 << "0.333333333333333";
    QTest::newRow("noise below the 15th digit") << 0.1 + 0.2 << "0.3";
    QTest::newRow("rounded in the 15th digit") << 12345.678901234567 << "12345.6789012346";
    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("negative zero") << -0.0 << "0";

    // The switch to scientific form.
    QTest::newRow("last fixed below 1") << 0.0001 << "0.0001";
    QTest::newRow("first scientific below 1") << 0.00001 << "1E-05";
    QTest::newRow("coefficient") << 4e-5 << "4E-05";
    QTest::newRow("coefficient, 15 digits") << 5.208333333333333e-6 << "5.20833333333333E-06";
    QTest::newRow("negative coefficient") << -2.5e-6 << "-2.5E-06";
    QTest::newRow("last fixed above 1") << 999999999999999.0 << "999999999999999";
    QTest::newRow("first scientific above 1") << 1e15 << "1E+15";
    QTest::newRow("three-digit exponent") << 1e-300 << "1E-300";
    QTest::newRow("largest double") << std::numeric_limits<double>::max() << "1.79769313486232E+308";
    QTest::newRow("smallest subnormal") << std::numeric_limits<double>::denorm_min()
                                        << "4.94065645841247E-324";

    // Carries that change the exponent, and with it the form.
    QTest::newRow("carry into fixed form") << 9.999999999999999e-5 << "0.0001";
    QTest::newRow("carry into scientific form") << 999999999999999.9 << "1E+15";
    QTest::newRow("carry within fixed form") << 9.9999999999999999 << "10";
    QTest::newRow("carry within scientific form") << 9.9999999999999999e-7 << "1E-06";
}

void NumberTextTest::writeNumber()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(numeric::writeNumber(value)), text);
}

void NumberTextTest::writeNumberRefusesNonFinite()
{
    // A box never shows "inf" or "nan": reaching one is a failure.
    expectFailure([] { numeric::writeNumber(infinity); }, numeric::FailureKind::Overflow);
    expectFailure([] { numeric::writeNumber(-infinity); }, numeric::FailureKind::Overflow);
    expectFailure([] { numeric::writeNumber(notANumber); }, numeric::FailureKind::InvalidOperation);
}

void NumberTextTest::readBackIsExactAndStrict()
{
    QCOMPARE_EXACT(numeric::readNumberText("5.20833333333333E-06"), 5.20833333333333e-6);
    QCOMPARE_EXACT(numeric::heldAsText(1.0 / 3), 0.333333333333333);
    QCOMPARE_EXACT(numeric::heldAsText(20000 * 0.1), 2000.0);
    expectFailure([] { numeric::readNumberText(" 无此值 "); }, numeric::FailureKind::InvalidArgument);
    // The largest double written at 15 digits stands for a number past it.
    expectFailure([] { numeric::heldAsText(std::numeric_limits<double>::max()); },
                  numeric::FailureKind::Overflow);
    QCOMPARE_EXACT(numeric::readNumberText("1E-400"), 0.0);
    expectFailure([] { numeric::readNumberText("12abc"); }, numeric::FailureKind::InvalidArgument);
}

void NumberTextTest::roundToShort_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("0.5 to even") << 0.5 << 0;
    QTest::newRow("1.5 to even") << 1.5 << 2;
    QTest::newRow("2.5 to even") << 2.5 << 2;
    QTest::newRow("3.5 to even") << 3.5 << 4;
    QTest::newRow("-1.5 to even") << -1.5 << -2;
    QTest::newRow("-0.5 to even") << -0.5 << 0;
    QTest::newRow("12.5 answered for e1") << 12.5 << 12;
    QTest::newRow("not quite half") << 2.4999999999999996 << 2;
    QTest::newRow("upper limit") << 32767.4 << 32767;
    QTest::newRow("lower limit") << -32768.0 << -32768;
    QTest::newRow("lower limit, half to even") << -32768.5 << -32768;
}

void NumberTextTest::roundToShort()
{
    QFETCH(double, value);
    QFETCH(int, expected);
    QCOMPARE(int(numeric::roundToShort(value)), expected);
}

void NumberTextTest::shortIntegers()
{
    using numeric::FailureKind;
    for (double beyond : {32767.5, 32768.0, -32769.0, -32768.6, 1e300, infinity, notANumber})
        expectFailure([=] { numeric::roundToShort(beyond); }, FailureKind::Overflow);

    QCOMPARE(QString::fromStdString(numeric::writeShort(-32768)), QStringLiteral("-32768"));
    QCOMPARE(QString::fromStdString(numeric::writeShort(0)), QStringLiteral("0"));
    QCOMPARE(QString::fromStdString(numeric::writeShort(20086)), QStringLiteral("20086"));

    QCOMPARE(int(numeric::addShort(20000, 12767)), 32767);
    QCOMPARE(int(numeric::addShort(32767, -32768)), -1);
    expectFailure([] { numeric::addShort(32767, 1); }, FailureKind::Overflow);
    expectFailure([] { numeric::addShort(-32768, -1); }, FailureKind::Overflow);
    expectFailure([] { numeric::addShort(28263, 28263); }, FailureKind::Overflow);
}

void NumberTextTest::checkedArithmetic()
{
    using numeric::FailureKind;
    QCOMPARE_EXACT(numeric::power(3, 2), 9.0);
    QCOMPARE_EXACT(numeric::power(16, 0.5), 4.0);
    QCOMPARE_EXACT(numeric::divide(400, 1e8), 4e-6);
    QCOMPARE_EXACT(numeric::naturalLog(1), 0.0);

    expectFailure([] { numeric::divide(1, 0); }, FailureKind::DivisionByZero);
    expectFailure([] { numeric::divide(-1, -0.0); }, FailureKind::DivisionByZero);
    expectFailure([] { numeric::divide(0, 0); }, FailureKind::InvalidOperation);
    expectFailure([] { numeric::divide(1e300, 1e-300); }, FailureKind::Overflow);
    expectFailure([] { numeric::multiply(1e200, 1e200); }, FailureKind::Overflow);
    expectFailure([] { numeric::subtract(-1.7e308, 1.7e308); }, FailureKind::Overflow);
    expectFailure([] { numeric::power(1e200, 2); }, FailureKind::Overflow);
    expectFailure([] { numeric::power(0, -1); }, FailureKind::DivisionByZero);
    expectFailure([] { numeric::power(-4, 0.5); }, FailureKind::InvalidArgument);
    expectFailure([] { numeric::naturalLog(0); }, FailureKind::InvalidArgument);
    expectFailure([] { numeric::naturalLog(-12500); }, FailureKind::InvalidArgument);
}

QTEST_APPLESS_MAIN(NumberTextTest)
#include "tst_number_text.moc"
