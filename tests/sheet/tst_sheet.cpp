// The tendon's profile as drawn on an image: the lowest point of the drawn
// curve stands where k2 puts it along the drawn beam.

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
};

QTEST_MAIN(SheetTest)
#include "tst_sheet.moc"
