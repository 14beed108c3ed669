// The tendon's profile as drawn on an image: the lowest point of the drawn
// curve stands where k2 puts it along the drawn beam; and the stress drawn
// under it falls lowest where the two jacks' parts meet.

#include "calc/geometry.h"
#include "sheet/sheet.h"

#include <QImage>
#include <QPainter>
#include <QTest>

#include <algorithm>

namespace {

// Where along the drawn beam (0 at its left face, 1 at its right) the curve
// comes lowest. The beam's faces are lines mostly in ink; columns where a
// marker or dimension line runs down are left out.
double lowestAlongBeam(const QImage &image)
{
    const auto ink = [&](int x, int y) { return qGray(image.pixel(x, y)) < 128; };
    std::vector<int> rows, columns;
    for (int y = 0; y < image.height(); ++y) {
        int count = 0;
        for (int x = 0; x < image.width(); ++x)
            count += ink(x, y);
        if (count > image.width() / 3)
            rows.push_back(y);
    }
    // The top face is the first such line, the bottom face the next; the
    // dimension lines below come after.
    const int top = rows.front();
    const int bottom = *std::find_if(rows.begin(), rows.end(), [&](int y) { return y > top + 3; });
    for (int x = 0; x < image.width(); ++x) {
        int count = 0;
        for (int y = top; y <= bottom; ++y)
            count += ink(x, y);
        if (count > (bottom - top) * 9 / 10)
            columns.push_back(x);
    }
    const int left = columns.front(), right = columns.back();
    int lowestX = left, lowestY = top;
    for (int x = left + 3; x < right - 3; ++x) {
        int count = 0, deepest = -1;
        for (int y = top + 3; y < bottom - 3; ++y)
            if (ink(x, y))
                ++count, deepest = y;
        if (count > 0 && count <= 8 && deepest > lowestY) // the curve, not a marker line
            lowestX = x, lowestY = deepest;
    }
    return double(lowestX - left) / (right - left);
}

// Where along the stress drawing's axis (0 at the left end, 1 at the right)
// the stress line comes lowest, -1 where it leaves a gap: the axis ends are
// the two longest vertical runs of ink, and columns with a long run (the
// dividing mark) are left out.
double lowestStress(const QImage &image)
{
    const auto ink = [&](int x, int y) { return qGray(image.pixel(x, y)) < 128; };
    std::vector<int> runs(std::size_t(image.width()));
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            runs[std::size_t(x)] += ink(x, y);
    const int tallest = *std::max_element(runs.begin(), runs.end());
    int left = -1, right = -1;
    for (int x = 0; x < image.width(); ++x)
        if (runs[std::size_t(x)] > tallest * 3 / 4)
            (left < 0 ? left : right) = x;
    int lowestX = left, lowestY = 0;
    for (int x = left + 4; x < right - 4; ++x) {
        if (runs[std::size_t(x)] > tallest / 4)
            continue; // the dividing mark
        int y = 0;
        while (y < image.height() - 40 && !ink(x, y)) // above the baseline and its label
            ++y;
        if (y == image.height() - 40)
            return -1; // the line does not run the whole length
        if (y > lowestY)
            lowestX = x, lowestY = y;
    }
    return double(lowestX - left) / (right - left);
}

} // namespace

class SheetTest : public QObject {
    Q_OBJECT

private slots:
    void lowestPointWhereK2PutsIt()
    {
        for (const double k2 : {0.5, 0.62, 0.35}) {
            const calc::HeldParameters held{100, 100, 100, 0.1, k2, 0.1, 20000, 1000, 0};
            calc::Coefficients c;
            calc::computeEquations(calc::Profile::c4, held, c);
            std::array<double, 4> a{};
            for (std::size_t i = 0; i < 4; ++i)
                a[i] = std::stod(c.text[i]);
            QImage image(1400, 520, QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            sheet::drawProfile(painter, QRectF(0, 0, 1400, 520), calc::ProfileGeometry(calc::Profile::c4, held, a), held);
            painter.end();
            QVERIFY2(qAbs(lowestAlongBeam(image) - k2) < 0.03, qPrintable(QString::number(lowestAlongBeam(image))));
        }
    }

    void stressLowestWhereTheJacksMeet()
    {
        // An asymmetric C4 meets left of its lowest point, a one-end tendon at its far end.
        const calc::Tendon t = calc::computeTendon(calc::Profile::c4, {"150", "90", "120", "0.12", "0.45", "0.08", "17970", "1200", ""});
        schedule::Stressed s;
        s.pieces = calc::tensioningPieces(t);
        for (int ends : {2, 1}) {
            s.stressing.ends = ends;
            s.tensioning = calc::tension(s.pieces, s.stressing.friction(), 1395, ends, 195000, 0);
            s.anchoring = calc::anchor(s.pieces, s.stressing.friction(), 1395, ends, 195000, 6, s.tensioning);
            QImage image(1400, 300, QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            sheet::drawStress(painter, QRectF(0, 0, 1400, 300), calc::geometryOf(t), s);
            painter.end();
            const double expected = ends == 2 ? 7440.0 / 17970 : 1.0; // the meeting point's run, or the far end
            QVERIFY2(qAbs(lowestStress(image) - expected) < 0.02, qPrintable(QString::number(lowestStress(image))));
        }
    }
};

QTEST_MAIN(SheetTest)
#include "tst_sheet.moc"
