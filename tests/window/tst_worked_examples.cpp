// The whole road of a calculation in the real window: select a profile, answer
// the prompts, compute the equations, compute the length. Every box and the
// status line are checked after each click.

#include "support/scripted_services.h"
#include "support/window_boxes.h"
#include "window/form1.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using window::Form1;

namespace {

const QString noValue = QStringLiteral(" 无此值 ");
const QString noEquation = QStringLiteral(" 无此方程 ");

} // namespace

class WorkedExamplesTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { testing::checkCommaLocale(); }
    void road_data();
    void road();
    void failedLengthIsReportedAndLeavesNoOldResult();
};

void WorkedExamplesTest::road_data()
{
    QTest::addColumn<int>("profile");
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QStringList>("parameters"); // Text1..Text9 after the prompts
    QTest::addColumn<QStringList>("coefficients");
    QTest::addColumn<QString>("length");

    QTest::newRow("C4") << 2 << QStringList{"100", "100", "100", "0.1", "0.5", "0.1", "20000", "1000"}
                        << QStringList{"100", "100", "100", "0.1", "0.5", "0.1", "20000", "1000", noValue}
                        << QStringList{"4E-05", "1E-05", "1E-05", "4E-05"} << QStringLiteral("20086");
    QTest::newRow("C2a") << 1 << QStringList{"100", "100", "20000", "1000", "0"}
                         << QStringList{"100", "100", noValue, noValue, "0.5", noValue, "20000", "1000", "0"}
                         << QStringList{"4E-06", "4E-06", noEquation, noEquation} << QStringLiteral("20022");
}

void WorkedExamplesTest::road()
{
    QFETCH(int, profile);
    QFETCH(QStringList, answers);
    QFETCH(QStringList, parameters);
    QFETCH(QStringList, coefficients);
    QFETCH(QString, length);

    testing::ScriptedServices scripted;
    Form1 form(scripted.services);
    form.Form_Load();
    form.show();

    for (const QString &answer : answers)
        scripted.prompt.answer({answer});
    QTest::mouseClick(form.optionButton(profile), Qt::LeftButton);
    // All fifteen boxes: the parameters, then a1..a4 and the length, then the status line.
    const auto expected = [&](const QStringList &results, const QString &status) {
        return parameters + results + QStringList(status);
    };
    QCOMPARE(testing::boxTexts(form),
             expected(QStringList(5, QString()), QStringLiteral(" 请点击：计算抛物线方程 ")));

    QTest::mouseClick(form.commandButton(1), Qt::LeftButton);
    QCOMPARE(testing::boxTexts(form),
             expected(coefficients + QStringList(QString()), QStringLiteral(" 请点击：开始计算 ")));

    QTest::mouseClick(form.commandButton(2), Qt::LeftButton);
    QCOMPARE(testing::boxTexts(form),
             expected(coefficients + QStringList(length), QStringLiteral(" 请查看：计算结果 ")));
    QVERIFY(scripted.prompt.allAnswered());
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
