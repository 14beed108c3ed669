// The whole road of a calculation in the real window: select a profile, answer
// the prompts, compute the equations, compute the length. Every box and the
// status line are checked after each click.

#include "support/scripted_services.h"
#include "window/form1.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using window::Form1;

namespace {

QStringList boxes(const Form1 &form)
{
    QStringList list;
    for (int n = 1; n <= 15; ++n)
        list << form.textBox(n)->text();
    return list;
}

const QString noValue = QStringLiteral(" 无此值 ");
const QString noEquation = QStringLiteral(" 无此方程 ");

} // namespace

class WorkedExamplesTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { testing::checkCommaLocale(); }
    void c4();
    void c2a();
    void failedLengthIsReportedAndLeavesNoOldResult();
};

void WorkedExamplesTest::c4()
{
    testing::ScriptedServices scripted;
    Form1 form(scripted.services);
    form.Form_Load();
    form.show();

    scripted.prompt.answer({"100", "100", "100", "0.1", "0.5", "0.1", "20000", "1000"});
    QTest::mouseClick(form.optionButton(2), Qt::LeftButton);
    const QStringList parameters{"100", "100", "100", "0.1", "0.5", "0.1", "20000", "1000", noValue};
    QCOMPARE(boxes(form), (parameters + QStringList{"", "", "", "", "", " 请点击：计算抛物线方程 "}));

    QTest::mouseClick(form.commandButton(1), Qt::LeftButton);
    const QStringList coefficients{"4E-05", "1E-05", "1E-05", "4E-05"};
    QCOMPARE(boxes(form), (parameters + coefficients + QStringList{"", " 请点击：开始计算 "}));

    QTest::mouseClick(form.commandButton(2), Qt::LeftButton);
    QCOMPARE(boxes(form), (parameters + coefficients + QStringList{"20086", " 请查看：计算结果 "}));
    QVERIFY(scripted.failures.reported.empty());
}

void WorkedExamplesTest::c2a()
{
    testing::ScriptedServices scripted;
    Form1 form(scripted.services);
    form.Form_Load();
    form.show();

    scripted.prompt.answer({"100", "100", "20000", "1000", "0"});
    QTest::mouseClick(form.optionButton(1), Qt::LeftButton);
    const QStringList parameters{"100", "100", noValue, noValue, "0.5", noValue, "20000", "1000", "0"};
    QCOMPARE(boxes(form), (parameters + QStringList{"", "", "", "", "", " 请点击：计算抛物线方程 "}));

    QTest::mouseClick(form.commandButton(1), Qt::LeftButton);
    const QStringList coefficients{"4E-06", "4E-06", noEquation, noEquation};
    QCOMPARE(boxes(form), (parameters + coefficients + QStringList{"", " 请点击：开始计算 "}));

    QTest::mouseClick(form.commandButton(2), Qt::LeftButton);
    QCOMPARE(boxes(form), (parameters + coefficients + QStringList{"20022", " 请查看：计算结果 "}));
    QVERIFY(scripted.failures.reported.empty());
}

void WorkedExamplesTest::failedLengthIsReportedAndLeavesNoOldResult()
{
    testing::ScriptedServices scripted;
    Form1 form(scripted.services);
    form.Form_Load();
    form.show();

    scripted.prompt.answer({"100", "100", "20000", "1000", "0"});
    QTest::mouseClick(form.optionButton(1), Qt::LeftButton);
    QTest::mouseClick(form.commandButton(1), Qt::LeftButton);
    QTest::mouseClick(form.commandButton(2), Qt::LeftButton);
    QCOMPARE(form.textBox(14)->text(), QStringLiteral("20022"));

    // A coefficient typed negative: the old length must not stay in view as if
    // it were the answer.
    form.textBox(11)->setText(QStringLiteral("-4E-06"));
    QTest::mouseClick(form.commandButton(2), Qt::LeftButton);
    QCOMPARE(scripted.failures.reported.size(), std::size_t(1));
    QCOMPARE(scripted.failures.reported.front().kind(), numeric::FailureKind::InvalidArgument);
    QCOMPARE(form.textBox(14)->text(), QString());
    QCOMPARE(form.textBox(15)->text(), QStringLiteral(" 请查看：计算结果 "));
}

QTEST_MAIN(WorkedExamplesTest)
#include "tst_worked_examples.moc"
