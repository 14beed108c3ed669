// The atlas diagrams: the stored bitmaps, where each goes in the picture area,
// and what the picture area shows after the buttons.

#include "diagrams/diagram.h"
#include "support/scripted_services.h"
#include "support/window_boxes.h"
#include "window/form1.h"
#include "window/picture_box.h"

#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using window::Form1;
using window::PictureBox;

namespace {

// The inner area of the picture box as designed: 10000 x 5520 twips less its
// border. On screen the width is a whole number of pixels, 663 (9945 twips).
constexpr float innerWidth = 9940, innerHeight = 5460;

QImage shown(PictureBox *area) { return area->grab(area->contentsRect()).toImage(); }

// A diagram drawn the way the picture area should show it, independently of
// the window: the bitmap stretched into the placement on white.
QImage expected(int resource, QSize size)
{
    const QImage bitmap = diagrams::resourcePicture(resource);
    const double height = bitmap.height() * double(size.width()) / bitmap.width();
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(0, (size.height() - height) / 2, size.width(), height), bitmap);
    return image;
}

// Mean absolute grey difference, 0 (same) to 255.
double difference(const QImage &a, const QImage &b)
{
    const QImage x = a.convertToFormat(QImage::Format_Grayscale8);
    const QImage y = b.convertToFormat(QImage::Format_Grayscale8).scaled(x.size());
    double sum = 0;
    for (int row = 0; row < x.height(); ++row)
        for (int col = 0; col < x.width(); ++col)
            sum += std::abs(int(x.pixel(col, row) & 0xff) - int(y.pixel(col, row) & 0xff));
    return sum / (double(x.width()) * x.height());
}

} // namespace

class DiagramsTest : public QObject {
    Q_OBJECT

private slots:
    void storedBitmaps();
    void placementInThePictureArea();
    void secondDiagramReplacesTheFirst();
    void buttonsTouchNoBoxBeforeOrAfterACalculation();
};

void DiagramsTest::storedBitmaps()
{
    const QImage c2a = diagrams::resourcePicture(diagrams::c2a);
    const QImage c4 = diagrams::resourcePicture(diagrams::c4);
    QCOMPARE(c2a.size(), QSize(797, 433));
    QCOMPARE(c4.size(), QSize(798, 474));
    for (const QImage &bitmap : {c2a, c4}) {
        QCOMPARE(bitmap.format(), QImage::Format_Indexed8);
        QCOMPARE(bitmap.colorCount(), 256);
    }
    QVERIFY(diagrams::resourcePicture(103).isNull());
}

void DiagramsTest::placementInThePictureArea()
{
    // C2a spans the width and nearly the height: a band of about 30 twips
    // above and below.
    const diagrams::Placement c2a = diagrams::place(797 * 15, 433 * 15, innerWidth, innerHeight);
    QCOMPARE(c2a.left, 0.0f);
    QCOMPARE(c2a.width, innerWidth);
    QVERIFY(qAbs(c2a.height - 5400.27f) < 0.1f);
    QVERIFY(qAbs(c2a.top - 29.86f) < 0.1f);

    // C4 is relatively taller: it comes out taller than the area, and about
    // 222 twips are cut off at the top and at the bottom.
    const diagrams::Placement c4 = diagrams::place(798 * 15, 474 * 15, innerWidth, innerHeight);
    QCOMPARE(c4.width, innerWidth);
    QVERIFY(qAbs(c4.height - 5904.2f) < 0.1f);
    QVERIFY(qAbs(c4.top + 222.1f) < 0.1f);

    // Taller than wide: the full height, centred across.
    const diagrams::Placement upright = diagrams::place(3000, 6000, innerWidth, innerHeight);
    QCOMPARE(upright.height, innerHeight);
    QCOMPARE(upright.width, 2730.0f);
    QCOMPARE(upright.left, (innerWidth - 2730.0f) / 2);

    QVERIFY_THROWS_EXCEPTION(numeric::Failure, diagrams::place(0, 0, innerWidth, innerHeight));
}

void DiagramsTest::secondDiagramReplacesTheFirst()
{
    testing::ScriptedServices scripted;
    Form1 form(scripted.services);
    form.Form_Load();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    PictureBox *area = form.pictureBox(1);

    QTest::mouseClick(form.commandButton(3), Qt::LeftButton);
    const QImage c2aShown = shown(area);
    QVERIFY(difference(c2aShown, expected(diagrams::c2a, c2aShown.size())) < 3);

    QTest::mouseClick(form.commandButton(4), Qt::LeftButton);
    const QImage c4Shown = shown(area);
    const double likeC4 = difference(c4Shown, expected(diagrams::c4, c4Shown.size()));
    const double likeC2a = difference(c4Shown, expected(diagrams::c2a, c4Shown.size()));
    QVERIFY2(likeC4 < 3, qPrintable(QString::number(likeC4)));
    QVERIFY2(likeC2a > 3 * likeC4 + 3, qPrintable(QString::number(likeC2a))); // nothing of C2a left

    // Covered and uncovered, the diagram is still there.
    form.hide();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(shown(area), c4Shown);
    QVERIFY(!form.pictureBox(2)->isVisible());
}

void DiagramsTest::buttonsTouchNoBoxBeforeOrAfterACalculation()
{
    testing::ScriptedServices scripted;
    Form1 form(scripted.services);
    form.Form_Load();
    form.show();

    const auto clickBoth = [&] {
        const QStringList before = testing::boxTexts(form);
        const bool c2a = form.optionButton(1)->isChecked(), c4 = form.optionButton(2)->isChecked();
        QTest::mouseClick(form.commandButton(4), Qt::LeftButton);
        QTest::mouseClick(form.commandButton(3), Qt::LeftButton);
        QCOMPARE(testing::boxTexts(form), before);
        QCOMPARE(form.optionButton(1)->isChecked(), c2a);
        QCOMPARE(form.optionButton(2)->isChecked(), c4);
    };

    clickBoth();
    scripted.prompt.answer({"100", "100", "100", "0.1", "0.5", "0.1", "20000", "1000"});
    QTest::mouseClick(form.optionButton(2), Qt::LeftButton);
    clickBoth();
    QTest::mouseClick(form.commandButton(1), Qt::LeftButton);
    QTest::mouseClick(form.commandButton(2), Qt::LeftButton);
    QCOMPARE(form.textBox(14)->text(), QStringLiteral("20086"));
    clickBoth();
    QVERIFY(scripted.failures.reported.empty());
}

QTEST_MAIN(DiagramsTest)
#include "tst_diagrams.moc"
