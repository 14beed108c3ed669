// The window as the engineer first meets it: its start state, its looks and
// layout, its keyboard, and that clicks leave alone what they must not touch.

#include "platform/startup.h"
#include "support/scripted_services.h"
#include "support/tendon_table.h"
#include "window/form1.h"
#include "window/picture_box.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>

#include <memory>

using window::Form1;

namespace {

const QStringList cancelC2a(5, QString()), cancelC4(8, QString());

} // namespace

class Form1Test : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        fixture = std::make_unique<testing::ScriptedForm>();
        form = &fixture->form;
        scripted = &fixture->scripted;
        QVERIFY(QTest::qWaitForWindowExposed(form));
    }
    void cleanup()
    {
        QVERIFY2(watchdog.stuck.isEmpty(), qPrintable(watchdog.stuck));
        QVERIFY(scripted->failures.reported.empty() && scripted->prompt.allAnswered());
    }

    void startState();
    void optionsRunTheirHandlerOnce();
    void windowFrameAndFaces();
    void captionsFitAndNothingOverlaps();
    void tabOrder();
    void smallScreens();

private:
    testing::ModalWatchdog watchdog;
    std::unique_ptr<testing::ScriptedForm> fixture;
    Form1 *form = nullptr;
    testing::ScriptedServices *scripted = nullptr;
};

void Form1Test::startState()
{
    QCOMPARE(testing::boxTexts(*form), QStringList(14, QString()) << testing::q(calc::status::chooseProfile));
    QVERIFY(!form->optionButton(1)->isChecked() && !form->optionButton(2)->isChecked());

    // The picture area is white inside its frame, and the hidden holder empty.
    window::PictureBox *area = form->pictureBox(1);
    const QImage inside = area->grab(area->contentsRect()).toImage().convertToFormat(QImage::Format_RGB32);
    QImage white(inside.size(), QImage::Format_RGB32);
    white.fill(Qt::white);
    QVERIFY(area->isVisible() && inside == white);
    QVERIFY(!form->pictureBox(2)->isVisible() && form->pictureBox(2)->picture().isNull());

    // A pasted text far longer than any number must not be cut short: the
    // numeric rules, not the box, decide what it means.
    const QString longDigits(100000, QLatin1Char('7'));
    form->textBox(10)->insert(longDigits);
    QCOMPARE(form->textBox(10)->text(), longDigits);
}

void Form1Test::optionsRunTheirHandlerOnce()
{
    QSignalSpy handlers(form, &Form1::handlerStarted);
    scripted->prompt.answer(cancelC2a);
    QTest::mouseClick(form->optionButton(1), Qt::LeftButton);
    // Asking again would let a cancelled prompt wipe every parameter; the
    // scripted prompt fails the test if asked.
    QTest::mouseClick(form->optionButton(1), Qt::LeftButton);
    QTest::keyClick(form->optionButton(1), Qt::Key_Space);
    scripted->prompt.answer(cancelC4);
    QTest::mouseClick(form->optionButton(2), Qt::LeftButton);
    QVERIFY(!form->optionButton(1)->isChecked() && form->optionButton(2)->isChecked());
    QCOMPARE(handlers.count(), 2);
    QCOMPARE(handlers.at(1).at(0).toString(), QStringLiteral("Option2_Click"));

    // Back to the start state: a checked option really clears, and no
    // selection handler runs on the way.
    form->Form_Load();
    QVERIFY(!form->optionButton(1)->isChecked() && !form->optionButton(2)->isChecked());
    QCOMPARE(handlers.count(), 2);
}

void Form1Test::windowFrameAndFaces()
{
    // A layout in absolute positions must not be resized or maximised.
    QCOMPARE(form->minimumSize(), form->maximumSize());
    QVERIFY(!(form->windowFlags() & Qt::WindowMaximizeButtonHint));
    // The icon is embedded in the program, not looked up on disk.
    QVERIFY(form->windowIcon().availableSizes().contains(QSize(100, 100)));
    QVERIFY(form->label(24)->text().contains(QStringLiteral("2019.06.0006")));

    // Every face in use must have Chinese, or captions show empty boxes.
    for (QWidget *widget : std::initializer_list<QWidget *>{form, form->textBox(15),
                                                            form->textBox(14), form->commandButton(2)}) {
        const QFontInfo info(widget->font());
        QVERIFY2(QFontDatabase::writingSystems(info.family()).contains(QFontDatabase::SimplifiedChinese),
                 qPrintable(widget->objectName() + QStringLiteral(": ") + info.family()));
    }
    QVERIFY(QFontInfo(form->textBox(15)->font()).bold());
}

void Form1Test::captionsFitAndNothingOverlaps()
{
    QList<QWidget *> shown;
    for (QWidget *child : form->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (!child->isVisible())
            continue;
        QVERIFY2(form->rect().contains(child->geometry()), qPrintable(child->objectName()));
        for (QWidget *other : shown)
            QVERIFY2(!child->geometry().intersects(other->geometry()),
                     qPrintable(child->objectName() + QStringLiteral(" / ") + other->objectName()));
        shown << child;
    }
    QCOMPARE(shown.size(), 15 + 2 + 4 + 1 + 24); // Picture2 is hidden

    // A clipped caption would hide part of what the engineer must read. What
    // counts is the ink.
    const auto fits = [](QWidget *widget, const QString &caption, int spare) {
        const int needed = widget->fontMetrics().tightBoundingRect(caption).right() + 1;
        QVERIFY2(needed <= widget->width() - spare,
                 qPrintable(widget->objectName() + QStringLiteral(" needs ") + QString::number(needed)));
    };
    for (int n = 1; n <= 23; ++n)
        fits(form->label(n), form->label(n)->text(), 0);
    const int indicator = form->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) + 4;
    for (int n = 1; n <= 2; ++n) {
        fits(form->optionButton(n), form->optionButton(n)->text(), indicator);
        fits(form->commandButton(n), form->commandButton(n)->text(), 4);
    }
    fits(form->textBox(15), form->textBox(15)->text(), 4);
    QVERIFY(form->label(24)->sizeHint().height() <= form->label(24)->height());
}

void Form1Test::tabOrder()
{
    // Walk the window with the Tab key, as an engineer filling in the boxes
    // would. The two profile options are one stop; the arrow keys move
    // between them.
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form));
    form->optionButton(1)->setFocus(Qt::TabFocusReason);
    QStringList walked;
    for (int step = 0; step < 21; ++step) {
        walked << QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(walked.join(u' '), QStringLiteral("Option1 Text1 Text2 Text3 Text4 Text5 Text6 Text7 Text8 "
                                               "Text9 Command1 Text10 Text11 Text12 Text13 Command2 "
                                               "Text14 Text15 Command3 Command4 Option1"));

    scripted->prompt.answer(cancelC2a);
    QTest::mouseClick(form->optionButton(1), Qt::LeftButton);
    scripted->prompt.answer(cancelC4); // selecting by keyboard runs the handler too
    QTest::keyClick(form->optionButton(1), Qt::Key_Right);
    QCOMPARE(QApplication::focusWidget(), form->optionButton(2));
    QVERIFY(form->optionButton(2)->isChecked());
}

QTEST_MAIN(Form1Test)
#include "tst_form1.moc"

void Form1Test::smallScreens()
{
    // A screen the window fits keeps it as it is; a smaller one (a laptop's
    // 1366 x 768, an old projector's 800 x 600) shows it whole under scroll
    // bars, nothing inside moved, the diagram at the bottom in reach.
    const QRect designed = form->geometry(), picture = form->pictureBox(1)->geometry();
    QVERIFY(!platform::fitToScreen(*form, QRect(0, 0, 1280, 1024)));
    for (const QRect &screen : {QRect(0, 0, 1366, 768), QRect(0, 0, 800, 600), QRect(1366, 40, 640, 1024)}) {
        const std::unique_ptr<QScrollArea> frame = platform::fitToScreen(*form, screen);
        QVERIFY(frame);
        frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
        QVERIFY2(screen.contains(frame->geometry()), qPrintable(QStringLiteral("%1,%2 %3x%4").arg(frame->x()).arg(frame->y())
                                                                     .arg(frame->width()).arg(frame->height())));
        QCOMPARE(frame->windowTitle(), QStringLiteral("Quillmere"));
        QCOMPARE(form->size(), designed.size());
        QCOMPARE(form->pictureBox(1)->geometry(), picture);
        frame->verticalScrollBar()->setValue(frame->verticalScrollBar()->maximum());
        frame->horizontalScrollBar()->setValue(frame->horizontalScrollBar()->maximum());
        const QRect inView(form->pictureBox(1)->mapTo(frame->viewport(), QPoint()), picture.size());
        QVERIFY2(frame->viewport()->rect().contains(inView.bottomRight()), qPrintable(QString::number(inView.bottom())));
        frame->takeWidget();
    }
}
