// The window as the engineer first meets it: its start state, its looks and
// layout, and that handlers leave alone what they must not touch.

#include "support/scripted_services.h"
#include "window/form1.h"
#include "window/picture_box.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>

#include <memory>

using window::Form1;
using window::PictureBox;

namespace {

const QString startMessage = QStringLiteral(" 请选择预应力钢铰线曲线类型 ");
const QString noValue = QStringLiteral(" 无此值 ");
const std::initializer_list<QString> cancelC2a{"", "", "", "", ""};
const std::initializer_list<QString> cancelC4{"", "", "", "", "", "", "", ""};

// Share of pixels in `image` within `tolerance` of `colour`.
double shareOf(const QImage &image, QColor colour, int tolerance = 16)
{
    qsizetype hits = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (qAbs(c.red() - colour.red()) <= tolerance
                && qAbs(c.green() - colour.green()) <= tolerance
                && qAbs(c.blue() - colour.blue()) <= tolerance)
                ++hits;
        }
    }
    return double(hits) / double(image.width() * image.height());
}

QImage innerImage(PictureBox *box)
{
    return box->grab(box->contentsRect()).toImage();
}

} // namespace

class Form1Test : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startState();
    void clearingOptionsRunsNoHandler();
    void selectedOptionClickedAgainRunsNothing();
    void typedTextStaysThroughClicks();
    void windowFrame();
    void chineseFaces();
    void captionsFitAndNothingOverlaps();
    void tabOrder();

private:
    std::unique_ptr<testing::ScriptedServices> scripted;
    std::unique_ptr<Form1> form;
    std::unique_ptr<testing::ModalWatchdog> watchdog;
};

void Form1Test::init()
{
    scripted = std::make_unique<testing::ScriptedServices>();
    watchdog = std::make_unique<testing::ModalWatchdog>();
    form = std::make_unique<Form1>(scripted->services);
    form->Form_Load();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
}

void Form1Test::cleanup()
{
    QVERIFY2(watchdog->stuckDialog().isEmpty(), qPrintable(watchdog->stuckDialog()));
    QVERIFY(scripted->failures.reported.empty());
    QVERIFY(scripted->prompt.allAnswered());
    form.reset();
    watchdog.reset();
    scripted.reset();
}

void Form1Test::startState()
{
    QCOMPARE(form->textBox(15)->text(), startMessage);
    for (int n = 1; n <= 14; ++n)
        QVERIFY2(form->textBox(n)->text().isEmpty(), qPrintable(QString::number(n)));
    QVERIFY(!form->optionButton(1)->isChecked());
    QVERIFY(!form->optionButton(2)->isChecked());

    PictureBox *area = form->pictureBox(1);
    QVERIFY(area->isVisible());
    QVERIFY(!area->autoSize());
    QCOMPARE(area->backColor(), QColor(255, 255, 255));
    QCOMPARE(shareOf(innerImage(area), Qt::white, 0), 1.0);

    PictureBox *holder = form->pictureBox(2);
    QVERIFY(!holder->isVisible());
    QVERIFY(holder->autoSize());
    QVERIFY(holder->picture().isNull());
}

void Form1Test::clearingOptionsRunsNoHandler()
{
    QSignalSpy handlers(form.get(), &Form1::handlerStarted);

    scripted->prompt.answer(cancelC4);
    QTest::mouseClick(form->optionButton(2), Qt::LeftButton);
    QVERIFY(form->optionButton(2)->isChecked());
    QCOMPARE(handlers.count(), 1);
    QCOMPARE(handlers.takeFirst().at(0).toString(), QStringLiteral("Option2_Click"));

    // Back to the start state: a checked option really clears, and no
    // selection handler runs on the way.
    form->Form_Load();
    QVERIFY(!form->optionButton(1)->isChecked());
    QVERIFY(!form->optionButton(2)->isChecked());
    QCOMPARE(handlers.count(), 0);
    QCOMPARE(form->textBox(15)->text(), startMessage);

    // The two options are still one group: selecting one clears the other.
    scripted->prompt.answer(cancelC2a);
    scripted->prompt.answer(cancelC4);
    QTest::mouseClick(form->optionButton(1), Qt::LeftButton);
    QTest::mouseClick(form->optionButton(2), Qt::LeftButton);
    QVERIFY(!form->optionButton(1)->isChecked());
    QVERIFY(form->optionButton(2)->isChecked());
    QCOMPARE(handlers.count(), 2);
    QCOMPARE(handlers.at(0).at(0).toString(), QStringLiteral("Option1_Click"));
    QCOMPARE(handlers.at(1).at(0).toString(), QStringLiteral("Option2_Click"));
}

void Form1Test::selectedOptionClickedAgainRunsNothing()
{
    scripted->prompt.answer(cancelC2a);
    QTest::mouseClick(form->optionButton(1), Qt::LeftButton);
    // Asking again would let a cancelled prompt wipe every parameter; the
    // scripted prompt fails the test if asked.
    QSignalSpy handlers(form.get(), &Form1::handlerStarted);
    QTest::mouseClick(form->optionButton(1), Qt::LeftButton);
    QTest::keyClick(form->optionButton(1), Qt::Key_Space);
    QVERIFY(form->optionButton(1)->isChecked());
    QCOMPARE(handlers.count(), 0);
}

void Form1Test::typedTextStaysThroughClicks()
{
    QLineEdit *lc = form->textBox(7);
    lc->setFocus();
    QTest::keyClicks(lc, QStringLiteral("20000 mm"));

    // A pasted text far longer than any number must not be cut short: the
    // numeric rules, not the box, decide what it means.
    QLineEdit *a1 = form->textBox(10);
    const QString longDigits(100000, QLatin1Char('7'));
    a1->insert(longDigits);

    QTest::mouseClick(form->commandButton(3), Qt::LeftButton);
    QTest::mouseClick(form->commandButton(4), Qt::LeftButton);

    QCOMPARE(lc->text(), QStringLiteral("20000 mm"));
    QCOMPARE(a1->text(), longDigits);
}

void Form1Test::windowFrame()
{
    // A layout in absolute positions must not be resized or maximised.
    QCOMPARE(form->minimumSize(), form->maximumSize());
    QVERIFY(!(form->windowFlags() & Qt::WindowMaximizeButtonHint));
    // The icon is embedded in the program, not looked up on disk.
    QVERIFY(form->windowIcon().availableSizes().contains(QSize(100, 100)));

    const QString credits = form->label(24)->text();
    QVERIFY(credits.contains(QStringLiteral("2019.06.0006")));
    QVERIFY(credits.contains(QStringLiteral("20190606")));
}

void Form1Test::chineseFaces()
{
    // Every face in use must have Chinese, or captions show empty boxes. The
    // bold Song face falls back to an installed CJK serif face.
    for (QWidget *widget : std::initializer_list<QWidget *>{form.get(), form->textBox(15),
                                                            form->textBox(14),
                                                            form->commandButton(2)}) {
        const QFontInfo info(widget->font());
        QVERIFY2(QFontDatabase::writingSystems(info.family())
                     .contains(QFontDatabase::SimplifiedChinese),
                 qPrintable(widget->objectName() + QStringLiteral(": ") + info.family()));
    }
    const QFontInfo status(form->textBox(15)->font());
    QVERIFY(status.bold());
    QCOMPARE(status.pointSize(), 12);
}

void Form1Test::captionsFitAndNothingOverlaps()
{
    const QRect client = form->rect();
    QList<QWidget *> shown;
    for (QWidget *child : form->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (!child->isVisible())
            continue;
        QVERIFY2(client.contains(child->geometry()), qPrintable(child->objectName()));
        for (QWidget *other : shown) {
            QVERIFY2(!child->geometry().intersects(other->geometry()),
                     qPrintable(child->objectName() + QStringLiteral(" / ") + other->objectName()));
        }
        shown << child;
    }
    QCOMPARE(shown.size(), 15 + 2 + 4 + 1 + 24); // Picture2 is hidden

    // One-line captions fit their label or option; a clipped caption would
    // hide part of what the engineer must read. What counts is the ink.
    const auto fits = [](QWidget *widget, const QString &caption, int spare) {
        const int needed = widget->fontMetrics().tightBoundingRect(caption).right() + 1;
        QVERIFY2(needed <= widget->width() - spare,
                 qPrintable(widget->objectName() + QStringLiteral(" needs ")
                            + QString::number(needed)));
    };
    for (int n = 1; n <= 23; ++n)
        fits(form->label(n), form->label(n)->text(), 0);
    for (int n = 1; n <= 2; ++n)
        fits(form->optionButton(n), form->optionButton(n)->text(),
             form->optionButton(n)->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) + 4);
    fits(form->textBox(15), startMessage, 4);
    fits(form->commandButton(1), form->commandButton(1)->text(), 4);
    fits(form->commandButton(2), form->commandButton(2)->text(), 4);
    // The four credit lines fit the block's height.
    QVERIFY(form->label(24)->sizeHint().height() <= form->label(24)->height());
}

void Form1Test::tabOrder()
{
    // Walk the window with the Tab key, as an engineer filling in the boxes
    // would, and note where the focus lands.
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    form->optionButton(1)->setFocus(Qt::TabFocusReason);
    QStringList walked;
    for (int step = 0; step < 22; ++step) {
        walked << QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    // The two profile options are one stop, as option groups are on every
    // desktop; the arrow keys move between them.
    const QStringList expected{
        "Option1", "Text1",  "Text2",    "Text3",    "Text4",  "Text5",  "Text6",  "Text7",
        "Text8",   "Text9",  "Command1", "Text10",   "Text11", "Text12", "Text13", "Command2",
        "Text14",  "Text15", "Command3", "Command4", "Option1", "Text1",
    };
    QCOMPARE(walked, expected);

    scripted->prompt.answer(cancelC2a);
    QTest::mouseClick(form->optionButton(1), Qt::LeftButton);
    QSignalSpy handlers(form.get(), &Form1::handlerStarted);
    scripted->prompt.answer(cancelC4);
    QTest::keyClick(form->optionButton(1), Qt::Key_Right);
    QCOMPARE(QApplication::focusWidget(), form->optionButton(2));
    QVERIFY(form->optionButton(2)->isChecked());
    QCOMPARE(handlers.count(), 1); // selecting by keyboard runs the handler too
}

QTEST_MAIN(Form1Test)
#include "tst_form1.moc"
