// Selecting a profile and answering its prompts: which prompts come in which
// order, what each box holds afterwards, and what a bad answer leaves behind.

#include "calc/messages.h"
#include "calc/profile_entry.h"
#include "fake_window.h"

#include <QTest>

using testing::FakeWindow;

namespace {

const std::string noValue = " 无此值 ";

std::vector<std::string> boxesFrom(const FakeWindow &window, int first, int last)
{
    return {window.boxes.begin() + first, window.boxes.begin() + last + 1};
}

QString q(const std::string &text) { return QString::fromStdString(text); }

} // namespace

class ProfileEntryTest : public QObject {
    Q_OBJECT

private slots:
    void c2aCancelEveryPrompt();
    void c2aRoundsWholeNumbersAtOnceAndKeepsRealFractions();
    void c4AsksEightParametersAndEmptiesOldResults();
    void c4OverflowAtBeamLength();
    void c2aOverflowLeavesParameterBoxesAsTheyWere();
    void realAnswerBeyondDoubleRange();
    void failureReportWording();
};

void ProfileEntryTest::c2aCancelEveryPrompt()
{
    FakeWindow window;
    window.fillWithNames();
    window.answers = {"", "", "", "", ""};

    calc::enterC2a(window);

    const std::vector<std::string> prompts{" 请输入e1 ", " 请输入e2 ", " 请输入梁长lc ",
                                           " 请输入梁高lg1 ", " 请输入梁高lg2 "};
    QCOMPARE(window.asked, prompts);
    const std::vector<std::string> parameters{"0", "0", noValue, noValue, "0.5", noValue,
                                              "0", "0", "0"};
    QCOMPARE(boxesFrom(window, 1, 9), parameters);
    // Coefficients and length of an earlier calculation stay visible.
    const std::vector<std::string> untouched{"Text10", "Text11", "Text12", "Text13", "Text14"};
    QCOMPARE(boxesFrom(window, 10, 14), untouched);
    QCOMPARE(q(window.boxes[15]), QStringLiteral(" 请点击：计算抛物线方程 "));
}

void ProfileEntryTest::c2aRoundsWholeNumbersAtOnceAndKeepsRealFractions()
{
    FakeWindow window;
    window.answers = {"2.5", "3.5", " 20000.5mm", "1500.5", "1e-5"};
    calc::enterC2a(window);
    const std::vector<std::string> expected{"2", "4", noValue, noValue, "0.5", noValue,
                                            "20000", "1500.5", "1E-05"};
    QCOMPARE(boxesFrom(window, 1, 9), expected);
}

void ProfileEntryTest::c4AsksEightParametersAndEmptiesOldResults()
{
    FakeWindow window;
    window.fillWithNames();
    window.answers = {"100", "100", "100", "0.1", "0.5", "0.1", "20000", "1000"};

    calc::enterC4(window);

    const std::vector<std::string> prompts{" 请输入e1 ", " 请输入e2 ",     " 请输入e3 ",
                                           " 请输入k1 ", " 请输入k2 ",     " 请输入k3 ",
                                           " 请输入梁长lc ", " 请输入梁高lg1 "};
    QCOMPARE(window.asked, prompts);
    const std::vector<std::string> expected{"100", "100", "100", "0.1", "0.5", "0.1",
                                            "20000", "1000", noValue, "", "", "", ""};
    QCOMPARE(boxesFrom(window, 1, 13), expected);
    QCOMPARE(q(window.boxes[14]), QStringLiteral("Text14"));
    QCOMPARE(q(window.boxes[15]), QStringLiteral(" 请点击：计算抛物线方程 "));
}

void ProfileEntryTest::c4OverflowAtBeamLength()
{
    FakeWindow window;
    window.fillWithNames();
    window.answers = {"100", "100", "100", "0.1", "0.5", "0.1", "40000", "1000"};

    try {
        calc::enterC4(window);
        QFAIL("no overflow");
    } catch (const numeric::Failure &failure) {
        QCOMPARE(failure.kind(), numeric::FailureKind::Overflow);
        QVERIFY2(q(failure.context()).contains(QStringLiteral("lc")), failure.context().c_str());
        QVERIFY2(q(failure.context()).contains(QStringLiteral("40000")), failure.context().c_str());
    }

    QCOMPARE(window.asked.size(), std::size_t(7)); // lg1 is never asked
    const std::vector<std::string> expected{"", "", "", "", "", "", "", "", noValue,
                                            "", "", "", "", "Text14"};
    QCOMPARE(boxesFrom(window, 1, 14), expected);
    QCOMPARE(q(window.boxes[15]), QStringLiteral(" 请输入线型参数 "));
}

void ProfileEntryTest::c2aOverflowLeavesParameterBoxesAsTheyWere()
{
    FakeWindow window;
    window.fillWithNames();
    window.answers = {"100", "-32769"};

    QVERIFY_THROWS_EXCEPTION(numeric::Failure, calc::enterC2a(window));

    QCOMPARE(window.asked.size(), std::size_t(2));
    const std::vector<std::string> expected{"Text1", "Text2", noValue, noValue, "0.5", noValue,
                                            "Text7", "Text8", "Text9"};
    QCOMPARE(boxesFrom(window, 1, 9), expected);
    QCOMPARE(q(window.boxes[15]), QStringLiteral(" 请输入线型参数 "));
}

void ProfileEntryTest::realAnswerBeyondDoubleRange()
{
    FakeWindow window;
    window.fillWithNames();
    window.answers = {"100", "100", "20000", "1e400"};
    try {
        calc::enterC2a(window);
        QFAIL("no overflow");
    } catch (const numeric::Failure &failure) {
        QCOMPARE(failure.kind(), numeric::FailureKind::Overflow);
        QVERIFY(q(failure.context()).contains(QStringLiteral("lg1")));
    }
    QCOMPARE(window.asked.size(), std::size_t(4)); // lg2 is never asked
    QCOMPARE(q(window.boxes[8]), QStringLiteral("Text8"));
}

void ProfileEntryTest::failureReportWording()
{
    using numeric::FailureKind;
    const std::pair<FailureKind, QString> kinds[]{
        {FailureKind::Overflow, QStringLiteral("溢出 (overflow)")},
        {FailureKind::DivisionByZero, QStringLiteral("除数为零 (division by zero)")},
        {FailureKind::InvalidOperation, QStringLiteral("无效运算 (invalid operation)")},
        {FailureKind::InvalidArgument, QStringLiteral("无效参数 (invalid argument)")},
    };
    for (const auto &[kind, named] : kinds) {
        const QString report = q(calc::failureReport(numeric::Failure(kind, "lc 的输入值")));
        QVERIFY2(report.contains(named), qPrintable(report));
        QVERIFY2(report.contains(QStringLiteral("lc 的输入值")), qPrintable(report));
    }

    // A pasted megabyte is quoted short, cut between characters, not inside one.
    const std::string pasted = std::string(30, '9') + std::string(1'000'000, '\xE4');
    const QString context = q(calc::answerOutOfRange("lc", std::string(10, 'x') + "钢铰线长度超出范围很多很多很多", true));
    QVERIFY(context.contains(QStringLiteral("…")));
    QVERIFY(!context.contains(QChar::ReplacementCharacter));
    QVERIFY(calc::answerOutOfRange("lc", pasted, true).size() < 200);
}

QTEST_APPLESS_MAIN(ProfileEntryTest)
#include "tst_profile_entry.moc"
