// The atlas diagrams: the stored bitmaps, and what the picture area shows
// after the buttons: each bitmap across the area's width, centred.

#include "diagrams/diagram.h"
#include "support/scripted_services.h"
#include "window/form1.h"
#include "window/picture_box.h"

#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using window::Form1;

namespace {

QImage shown(window::PictureBox *area) { return area->grab(area->contentsRect()).toImage(); }

// A diagram as the picture area should show it, drawn apart from the window:
// the bitmap stretched across the width, centred on white; on a screen with
// more pixels, the finer drawing.
QImage expected(int resource, const QImage &like)
{
    const QSize size = like.size();
    const QImage bitmap = like.devicePixelRatio() > 1 ? diagrams::detailedPicture(resource)
                                                      : diagrams::resourcePicture(resource);
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
            sum += std::abs(qGray(x.pixel(col, row)) - qGray(y.pixel(col, row)));
    return sum / (double(x.width()) * x.height());
}

} // namespace

class DiagramsTest : public QObject {
    Q_OBJECT

private slots:
    void secondDiagramReplacesTheFirstAndTouchesNoBox();
};

void DiagramsTest::secondDiagramReplacesTheFirstAndTouchesNoBox()
{
    QCOMPARE(diagrams::resourcePicture(diagrams::c2a).size(), QSize(797, 433));
    QCOMPARE(diagrams::resourcePicture(diagrams::c4).size(), QSize(798, 474));
    QVERIFY(diagrams::resourcePicture(103).isNull());
    for (int resource : {diagrams::c2a, diagrams::c4}) // the finer drawing is the same drawing
        QCOMPARE(diagrams::detailedPicture(resource).size(), diagrams::resourcePicture(resource).size() * 2);
    QVERIFY_THROWS_EXCEPTION(numeric::Failure, diagrams::place(0, 0, 9940, 5460)); // an empty picture
    testing::ScriptedForm window;
    Form1 &form = window.form;
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    window.scripted.prompt.answer({"100", "100", "100", "0.1", "0.5", "0.1", "20000", "1000"});
    QTest::mouseClick(form.optionButton(2), Qt::LeftButton);
    QTest::mouseClick(form.commandButton(1), Qt::LeftButton);
    const QStringList before = testing::boxTexts(form);
    window::PictureBox *area = form.pictureBox(1);

    QTest::mouseClick(form.commandButton(3), Qt::LeftButton);
    QVERIFY(difference(shown(area), expected(diagrams::c2a, shown(area))) < 3);
    QTest::mouseClick(form.commandButton(4), Qt::LeftButton);
    const QImage c4 = shown(area);
    const double likeC4 = difference(c4, expected(diagrams::c4, c4));
    const double likeC2a = difference(c4, expected(diagrams::c2a, c4));
    QVERIFY2(likeC4 < 3 && likeC2a > 3 * likeC4 + 3, qPrintable(QString::number(likeC2a)));

    // Covered and uncovered, the diagram is still there; no box has changed.
    form.hide();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(shown(area), c4);
    // The drawing is kept at device pixels, sharp at any display scale (CTest
    // runs this suite again at a scale of 2).
    QCOMPARE(area->canvas().devicePixelRatio(), area->devicePixelRatioF());
    QCOMPARE(area->canvas().size(), area->contentsRect().size() * area->devicePixelRatioF());
    QCOMPARE(testing::boxTexts(form), before);
    QVERIFY(form.optionButton(2)->isChecked() && !form.pictureBox(2)->isVisible());
}

QTEST_MAIN(DiagramsTest)
#include "tst_diagrams.moc"
