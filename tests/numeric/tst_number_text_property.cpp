// Writing and reading back over a million doubles from the whole exponent
// range, against the C library's correctly rounded conversions: the text is
// what "%.15G" writes (the same 15 digits and the same switch to scientific
// form), and it reads back to the value rounded to 15 digits by "%.14e".

#include "numeric/failure.h"
#include "numeric/number_text.h"

#include <QTest>

#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

class NumberTextPropertyTest : public QObject {
    Q_OBJECT

private slots:
    void writtenTextReadsBackRoundedTo15Digits()
    {
        std::mt19937_64 random(20190606);
        std::uniform_real_distribution<double> decade(-7.0, 17.0);
        int checked = 0;
        for (int i = 0; i < 1'200'000; ++i) {
            // Every fourth value near the fixed/scientific switch, where random
            // bit patterns seldom land.
            const double value = i % 4 == 3 ? std::pow(10.0, decade(random)) * (random() & 1 ? -1 : 1)
                                            : std::bit_cast<double>(random());
            if (!std::isfinite(value) || value == 0)
                continue;
            char expected[40], rounded[40];
            std::snprintf(expected, sizeof expected, "%.15G", value);
            std::snprintf(rounded, sizeof rounded, "%.14e", value);
            const std::string text = numeric::writeNumber(value);
            if (text != expected)
                QFAIL((text + " instead of " + expected).c_str());
            if (std::isinf(std::strtod(rounded, nullptr))) {
                // The largest doubles round past the range at 15 digits.
                QVERIFY_THROWS_EXCEPTION(numeric::Failure, numeric::readNumberText(text));
                continue;
            }
            if (numeric::readNumberText(text) != std::strtod(rounded, nullptr))
                QFAIL((text + " read back wrong").c_str());
            ++checked;
        }
        QVERIFY(checked > 1'000'000);
    }
};

QTEST_APPLESS_MAIN(NumberTextPropertyTest)
#include "tst_number_text_property.moc"
