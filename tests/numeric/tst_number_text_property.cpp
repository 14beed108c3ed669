// Writing and reading back over a million doubles from the whole exponent
// range, checked against the C library's own correctly rounded conversions
// and against a second formulation of the written form built from "%.14E".

#include "numeric/failure.h"
#include "numeric/number_text.h"

#include <QTest>

#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

namespace {

// The value rounded to 15 significant digits, by the C library.
double roundedTo15(double value)
{
    char text[40];
    std::snprintf(text, sizeof text, "%.14e", value);
    return std::strtod(text, nullptr);
}

// The written form built another way: from printf's "%.14E" for the
// scientific form, and from printf's fixed notation of the rounded value for
// the fixed form.
std::string reference(double value)
{
    if (value == 0)
        return "0";
    char scientific[40];
    std::snprintf(scientific, sizeof scientific, "%.14E", value);
    std::string s = scientific;
    const std::size_t e = s.find('E');
    const int exponent = std::atoi(s.c_str() + e + 1);

    std::string body;
    if (exponent < -4 || exponent >= 15) {
        std::string mantissa = s.substr(0, e);
        std::string tail = s.substr(e); // "E+05", "E-300": printf writes two digits at least
        while (mantissa.back() == '0')
            mantissa.pop_back();
        if (mantissa.back() == '.')
            mantissa.pop_back();
        return mantissa + tail;
    }
    char fixed[64];
    std::snprintf(fixed, sizeof fixed, "%.*f", 14 - exponent, std::strtod(scientific, nullptr));
    body = fixed;
    if (body.find('.') != std::string::npos) {
        while (body.back() == '0')
            body.pop_back();
        if (body.back() == '.')
            body.pop_back();
    }
    return body;
}

} // namespace

class NumberTextPropertyTest : public QObject {
    Q_OBJECT

private slots:
    void writtenTextReadsBackRoundedTo15Digits();
};

void NumberTextPropertyTest::writtenTextReadsBackRoundedTo15Digits()
{
    std::mt19937_64 random(20190606);
    std::uniform_real_distribution<double> decade(-7.0, 17.0);
    constexpr int count = 1'200'000;
    int checked = 0;
    for (int i = 0; i < count; ++i) {
        double value;
        if (i % 4 == 3) {
            // Around the fixed/scientific switch, where random bit patterns
            // seldom land.
            value = std::pow(10.0, decade(random)) * (random() & 1 ? -1 : 1);
        } else {
            value = std::bit_cast<double>(random());
            if (!std::isfinite(value))
                continue;
        }
        const std::string text = numeric::writeNumber(value);
        const double expected = value == 0 ? 0.0 : roundedTo15(value);
        if (std::isinf(expected)) {
            // The largest doubles round past the range at 15 digits.
            QVERIFY_THROWS_EXCEPTION(numeric::Failure, numeric::readNumberText(text));
            continue;
        }
        const double back = numeric::readNumberText(text);
        if (std::bit_cast<quint64>(back) != std::bit_cast<quint64>(expected)
            && !(back == 0 && expected == 0)) {
            QFAIL(qPrintable(QStringLiteral("%1 wrote %2, read back %3")
                                 .arg(value, 0, 'g', 17)
                                 .arg(QString::fromStdString(text))
                                 .arg(back, 0, 'g', 17)));
        }
        const std::string other = reference(value);
        if (text != other) {
            QFAIL(qPrintable(QStringLiteral("%1 wrote %2, expected %3")
                                 .arg(value, 0, 'g', 17)
                                 .arg(QString::fromStdString(text), QString::fromStdString(other))));
        }
        ++checked;
    }
    QVERIFY(checked > 1'000'000);
}

QTEST_APPLESS_MAIN(NumberTextPropertyTest)
#include "tst_number_text_property.moc"
