// The numeric text rules at their boundaries, exact to the bit and to the
// character: one table of rule, input and expected result. Numbers are shown
// in their shortest exact form, so a result one bit off shows as different.

#include "numeric/arithmetic.h"
#include "numeric/number_text.h"
#include "numeric/number_rules.h"
#include "support/tendon_table.h"

#include <QTest>

#include <array>
#include <charconv>

namespace {

QString shown(double value)
{
    std::array<char, 40> text{};
    const auto end = std::to_chars(text.data(), text.data() + text.size(), value).ptr;
    return QString::fromLatin1(text.data(), end - text.data());
}

// Test inputs are read without the C library, which would ask the locale.
double number(const QString &text)
{
    const QByteArray bytes = text.toLatin1();
    double value = 0;
    std::from_chars(bytes.data(), bytes.data() + bytes.size(), value);
    return value;
}

QString apply(const QString &rule, const QString &input)
{
    const std::string text = input.toStdString();
    const double a = number(input.section(u' ', 0, 0)), b = number(input.section(u' ', 1, 1));
    try {
        if (rule == u"read")
            return shown(numeric::readNumber(text));
        if (rule == u"write")
            return QString::fromStdString(numeric::writeNumber(a));
        if (rule == u"shortest")
            return QString::fromStdString(numeric::writeShortest(a));
        if (rule == u"back")
            return shown(numeric::readNumberText(text));
        if (rule == u"whole")
            return QString::fromStdString(numeric::writeShort(numeric::roundToShort(a)));
        if (rule == u"divide")
            return shown(numeric::divide(a, b));
    } catch (const numeric::Failure &failure) {
        return testing::kindWord(failure.kind());
    }
    qFatal("no rule %s", qPrintable(rule));
}

} // namespace

class NumberTextTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { testing::checkCommaLocale(); }
    void rule_data();
    void rule()
    {
        QFETCH(QString, rule);
        QFETCH(QString, input);
        QFETCH(QString, expected);
        QCOMPARE(apply(rule, input), expected);
    }
};

void NumberTextTest::rule_data()
{
    QTest::addColumn<QString>("rule");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    for (const auto &[name, rule, input, expected] : testing::numberRules)
        QTest::newRow(name) << QString::fromLatin1(rule) << QString::fromUtf8(input)
                            << QString::fromLatin1(expected);
}

QTEST_APPLESS_MAIN(NumberTextTest)
#include "tst_number_text.moc"
