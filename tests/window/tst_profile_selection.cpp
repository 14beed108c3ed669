// Selecting profiles in the real window: what each selection leaves visible,
// how a bad answer is reported, and the real prompt dialog answered by keyboard.

#include "platform/prompt.h"
#include "support/scripted_services.h"
#include "support/window_boxes.h"
#include "window/form1.h"

#include <QInputDialog>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <memory>

using window::Form1;

namespace {

const QString noValue = QStringLiteral(" 无此值 ");
const QString noEquation = QStringLiteral(" 无此方程 ");
const QString enterParameters = QStringLiteral(" 请输入线型参数 ");
const QString computeEquations = QStringLiteral(" 请点击：计算抛物线方程 ");

} // namespace

class ProfileSelectionTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { testing::checkCommaLocale(); }
    void switchingProfilesKeepsOrClearsResults();
    void badAnswerIsReportedAndTheWindowGoesOn();
    void realPromptDialogAnsweredByKeyboard();
};

void ProfileSelectionTest::switchingProfilesKeepsOrClearsResults()
{
    testing::ScriptedServices scripted;
    Form1 form(scripted.services);
    form.Form_Load();
    form.show();

    scripted.prompt.answer({"100", "100", "20000", "1000", "0"});
    QTest::mouseClick(form.optionButton(1), Qt::LeftButton);
    QCOMPARE(testing::boxTexts(form, 1, 9), (QStringList{"100", "100", noValue, noValue, "0.5", noValue,
                                             "20000", "1000", "0"}));
    QCOMPARE(form.textBox(15)->text(), computeEquations);

    // What a finished C2a calculation leaves in the result boxes.
    const QStringList c2aResults{"4E-06", "4E-06", noEquation, noEquation, "20022"};
    for (int n = 10; n <= 14; ++n)
        form.textBox(n)->setText(c2aResults.at(n - 10));

    // C4 empties the old coefficients but leaves the old length in view.
    scripted.prompt.answer({"100", "100", "100", "0.1", "0.5", "0.1", "20000", "1000"});
    QTest::mouseClick(form.optionButton(2), Qt::LeftButton);
    QCOMPARE(testing::boxTexts(form, 1, 14), (QStringList{"100", "100", "100", "0.1", "0.5", "0.1", "20000",
                                              "1000", noValue, "", "", "", "", "20022"}));
    QVERIFY(!form.optionButton(1)->isChecked());

    const QStringList c4Results{"4E-05", "1E-05", "1E-05", "4E-05", "20086"};
    for (int n = 10; n <= 14; ++n)
        form.textBox(n)->setText(c4Results.at(n - 10));

    // C2a leaves the C4 coefficients and length visible until recomputed.
    scripted.prompt.answer({"120", "80", "18000", "900", "300"});
    QTest::mouseClick(form.optionButton(1), Qt::LeftButton);
    QCOMPARE(testing::boxTexts(form, 1, 14), QStringList({"120", "80", noValue, noValue, "0.5", noValue,
                                              "18000", "900", "300"})
                                     + c4Results);
    QCOMPARE(form.textBox(15)->text(), computeEquations);
    QVERIFY(scripted.prompt.allAnswered());
    QVERIFY(scripted.failures.reported.empty());
}

void ProfileSelectionTest::badAnswerIsReportedAndTheWindowGoesOn()
{
    testing::ScriptedServices scripted;
    Form1 form(scripted.services);
    form.Form_Load();
    form.show();

    scripted.prompt.answer({"100", "100", "100", "0.1", "0.5", "0.1", "40000"});
    QTest::mouseClick(form.optionButton(2), Qt::LeftButton);

    QCOMPARE(scripted.failures.reported.size(), std::size_t(1));
    QCOMPARE(scripted.failures.reported.front().kind(), numeric::FailureKind::Overflow);
    QCOMPARE(testing::boxTexts(form, 1, 9), (QStringList{"", "", "", "", "", "", "", "", noValue}));
    QCOMPARE(form.textBox(15)->text(), enterParameters);
    QVERIFY(form.optionButton(2)->isChecked());

    // The engineer carries on: another profile, then C4 again with a sound lc.
    scripted.prompt.answer({"", "", "", "", ""});
    QTest::mouseClick(form.optionButton(1), Qt::LeftButton);
    scripted.prompt.answer({"100", "100", "100", "0.1", "0.5", "0.1", "20000", "1000"});
    QTest::mouseClick(form.optionButton(2), Qt::LeftButton);
    QCOMPARE(testing::boxTexts(form, 1, 9), (QStringList{"100", "100", "100", "0.1", "0.5", "0.1", "20000",
                                             "1000", noValue}));
    QCOMPARE(form.textBox(15)->text(), computeEquations);
    QCOMPARE(scripted.failures.reported.size(), std::size_t(1));
    QVERIFY(scripted.prompt.allAnswered());
}

void ProfileSelectionTest::realPromptDialogAnsweredByKeyboard()
{
    platform::DialogPrompt prompt;
    testing::RecordingReport failures;
    platform::Services services{prompt, failures};
    Form1 form(services);
    form.Form_Load();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    // Typed answers, with Return; an empty entry means Escape.
    QStringList typed{"100", "", "20000", "1000.5", "0"};
    QStringList questions;
    QTimer answerer;
    connect(&answerer, &QTimer::timeout, [&] {
        auto *dialog = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible() || typed.isEmpty())
            return;
        questions << dialog->labelText();
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Quillmere"));
        auto *line = dialog->findChild<QLineEdit *>();
        const QString answer = typed.takeFirst();
        if (answer.isEmpty()) {
            QTest::keyClicks(line, QStringLiteral("999")); // typed, then cancelled
            QTest::keyClick(line, Qt::Key_Escape);
        } else {
            QTest::keyClicks(line, answer);
            QTest::keyClick(line, Qt::Key_Return);
        }
    });
    answerer.start(20);

    QTest::mouseClick(form.optionButton(1), Qt::LeftButton);
    answerer.stop();

    QCOMPARE(questions, (QStringList{" 请输入e1 ", " 请输入e2 ", " 请输入梁长lc ",
                                     " 请输入梁高lg1 ", " 请输入梁高lg2 "}));
    QCOMPARE(testing::boxTexts(form, 1, 9), (QStringList{"100", "0", noValue, noValue, "0.5", noValue,
                                             "20000", "1000.5", "0"}));
    QCOMPARE(form.textBox(15)->text(), computeEquations);
    QVERIFY(failures.reported.empty());
}

QTEST_MAIN(ProfileSelectionTest)
#include "tst_profile_selection.moc"
