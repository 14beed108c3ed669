// Writing and reading back over a million doubles from the whole exponent
// range, against the C library's correctly rounded conversions: the text is
// what "%.15G" writes (the same 15 digits and the same switch to scientific
// form), and it reads back to the value rounded to 15 digits by "%.14e". The
// shortest text reads back to the very double, with as few digits as the C++
// library's shortest form.

#include "numeric/failure.h"
#include "numeric/number_text.h"

#include <QTest>

#include <bit>
#include <charconv>
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

    void shortestTextReadsBackTheSameDouble()
    {
        std::mt19937_64 random(20261208);
        const auto digitsOf = [](std::string_view text) {
            const std::string_view mantissa = text.substr(0, text.find_first_of("eE"));
            const std::size_t first = mantissa.find_first_of("123456789");
            std::size_t count = 0;
            for (std::size_t at = first; at < mantissa.size(); ++at)
                count += mantissa[at] >= '0' && mantissa[at] <= '9';
            const std::size_t zeros = mantissa.size() - 1 - mantissa.find_last_not_of("0.");
            return mantissa.find('.') == std::string_view::npos ? count - zeros : count;
        };
        for (int i = 0; i < 300'000; ++i) {
            const double value = std::bit_cast<double>(random());
            if (!std::isfinite(value) || value == 0)
                continue;
            const std::string text = numeric::writeShortest(value);
            if (numeric::readNumberText(text) != value)
                QFAIL((text + " does not read back").c_str());
            char shortest[40];
            const auto end = std::to_chars(shortest, shortest + sizeof shortest, value, std::chars_format::scientific).ptr;
            if (digitsOf(text) != digitsOf({shortest, std::size_t(end - shortest)}))
                QFAIL((text + " is not as short as " + std::string(shortest, end)).c_str());
        }
    }
};

QTEST_APPLESS_MAIN(NumberTextPropertyTest)
#include "tst_number_text_property.moc"
