// The engineer's road through the real window: the golden table of tendons
// by mouse and scripted prompts, profiles selected one after another, a bad
// answer, and the real prompt and failure report worked by keyboard.

#include "calc/messages.h"
#include "platform/failure_report.h"
#include "platform/prompt.h"
#include "support/scripted_services.h"
#include "support/tendon_table.h"
#include "window/form1.h"

#include <QAccessible>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using testing::q;
using window::Form1;

namespace {

class WindowRoad final : public testing::Road, public testing::ScriptedForm {
public:
    QString select(int profile, const QStringList &answers) override
    {
        scripted.prompt.answer(answers);
        return clicked(form.optionButton(profile));
    }
    QString click(int command) override { return clicked(form.commandButton(command)); }
    void type(int box, const QString &text) override { form.textBox(box)->setText(text); }
    QString shown(int box) const override { return form.textBox(box)->text(); }

private:
    QString clicked(QAbstractButton *button)
    {
        const std::size_t before = scripted.failures.reported.size();
        QTest::mouseClick(button, Qt::LeftButton);
        if (scripted.failures.reported.size() == before)
            return {};
        return testing::kindWord(scripted.failures.reported.back().kind);
    }
};

// Runs `act` on the dialog that becomes modal next, once it has entered its
// event loop.
template <class Dialog, class Act>
void whenModal(QTimer &poll, Act act)
{
    QObject::connect(&poll, &QTimer::timeout, [&poll, act] {
        auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
        if (dialog && dialog->isVisible())
            act(dialog);
    });
    poll.start(20);
}

const QString noValue = q(calc::placeholder::noValue);

} // namespace

class RoadTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { testing::checkCommaLocale(); }
    void tendon_data() { testing::tendonRows(); }
    void tendon()
    {
        WindowRoad road;
        testing::walk(road);
    }
    void switchingProfilesKeepsOrClearsResults();
    void realPromptAndFailureReportByKeyboard();
};

void RoadTest::switchingProfilesKeepsOrClearsResults()
{
    WindowRoad road;
    const QStringList results{"4E-06", "4E-06", "Text12", "Text13", "20022"};
    for (int n = 10; n <= 14; ++n)
        road.type(n, results[n - 10]);

    // C4 empties the old coefficients but leaves the old length in view.
    QVERIFY(road.select(2, {"100", "90", "80", "0.1", "0.5", "0.1", "20000", "1000"}).isEmpty());
    QCOMPARE(testing::boxTexts(road.form, 1, 14),
             (QStringList{"100", "90", "80", "0.1", "0.5", "0.1", "20000", "1000", noValue, "", "", "", "", "20022"}));
    QVERIFY(!road.form.optionButton(1)->isChecked());

    // C2a leaves coefficients and length visible until they are recomputed.
    for (int n = 10; n <= 14; ++n)
        road.type(n, results[n - 10]);
    QVERIFY(road.select(1, {"120", "80", "18000", "900", "300"}).isEmpty());
    QCOMPARE(testing::boxTexts(road.form, 1, 14),
             QStringList({"120", "80", noValue, noValue, "0.5", noValue, "18000", "900", "300"}) + results);

    // A bad answer is reported once; the window goes on with the next selection.
    QCOMPARE(road.select(2, {"100", "100", "100", "0.1", "0.5", "0.1", "40000"}), QStringLiteral("overflow"));
    QVERIFY(road.form.optionButton(2)->isChecked());
    QVERIFY(road.select(1, {"", "", "", "", ""}).isEmpty());
    QCOMPARE(road.shown(15), q(calc::status::computeEquations));
    QVERIFY(road.scripted.prompt.allAnswered());
}

void RoadTest::realPromptAndFailureReportByKeyboard()
{
    platform::DialogPrompt prompt;
    platform::MessageBoxReport report;
    platform::Services services{prompt, report};
    Form1 form(services);
    form.Form_Load();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    // Answers typed and confirmed with Return; an empty one typed, then Escape.
    QStringList typed{"100", "", "20000", "1000.5", "32000"}, questions;
    QTimer answerer;
    whenModal<QInputDialog>(answerer, [&](QInputDialog *dialog) {
        if (typed.isEmpty())
            return;
        questions << dialog->labelText();
        QStringList captions; // the buttons as the engineer and a screen reader meet them
        for (QPushButton *button : dialog->findChildren<QPushButton *>())
            captions << button->text() + u'/' + QAccessible::queryAccessibleInterface(button)->text(QAccessible::Name);
        QCOMPARE(captions, (QStringList{"确定/确定", "取消/取消"}));
        auto *line = dialog->findChild<QLineEdit *>();
        const QString answer = typed.takeFirst();
        QTest::keyClicks(line, answer.isEmpty() ? QStringLiteral("999") : answer);
        QTest::keyClick(line, answer.isEmpty() ? Qt::Key_Escape : Qt::Key_Return);
    });
    QTest::mouseClick(form.optionButton(1), Qt::LeftButton);
    answerer.stop();
    QCOMPARE(questions, (QStringList{q(calc::prompt::e1), q(calc::prompt::e2), q(calc::prompt::lc),
                                     q(calc::prompt::lg1), q(calc::prompt::lg2)}));
    QCOMPARE(form.textBox(2)->text(), QStringLiteral("0"));

    // The heights' sum overflows after a1 is written: a modal box titled with
    // the program's name shows the report, and Return closes it.
    QString title, text;
    QTimer closer;
    whenModal<QMessageBox>(closer, [&](QMessageBox *box) {
        title = box->windowTitle() + u'/' + box->buttons().front()->text();
        text = box->text();
        QTest::keyClick(box, Qt::Key_Return);
    });
    QTest::mouseClick(form.commandButton(1), Qt::LeftButton);
    closer.stop();
    QCOMPARE(title, QStringLiteral("Quillmere/确定"));
    QVERIFY2(text.contains(q(calc::failureKindText(numeric::FailureKind::Overflow))), qPrintable(text));
    QCOMPARE(form.textBox(10)->text(), QStringLiteral("4E-06"));
}

QTEST_MAIN(RoadTest)
#include "tst_road.moc"
