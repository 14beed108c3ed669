// Draws the program icon: a concrete beam in elevation with a prestressing
// tendon sagging through it along a parabola, anchored at both ends. Written as
// a 100 x 100 image in 24-bit colour, or at another size for the desktop's
// icon theme or the page's home-screen icons; "maskable" keeps the drawing in
// the middle four fifths, which a phone's icon mask never cuts.
//
//     make_icon OUTPUT.png [SIZE [maskable]]

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>
#include <cstdlib>
#include <string_view>

int main(int argc, char **argv)
{
    const bool maskable = argc == 4 && std::string_view(argv[3]) == "maskable";
    if (argc < 2 || argc > 4 || (argc == 4 && !maskable)) {
        std::fprintf(stderr, "usage: make_icon OUTPUT.png [SIZE [maskable]]\n");
        return 2;
    }
    const int size = argc == 3 ? std::atoi(argv[2]) : 100;
    if (size < 16 || size > 1024) {
        std::fprintf(stderr, "make_icon: SIZE must be from 16 to 1024\n");
        return 2;
    }
    // Only QImage and QPainter are used; no display is needed.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QImage image(size, size, QImage::Format_RGB888);
    image.fill(QColor(232, 240, 248));

    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 100.0, size / 100.0); // drawn on a 100 x 100 grid
    if (maskable) {
        p.translate(10, 10);
        p.scale(0.8, 0.8);
    }
    p.translate(0, -10);                 // centre the drawing, dimension line included

    // Supports under both ends.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(70, 80, 92));
    const QPolygonF left{{14, 74}, {24, 74}, {19, 64}};
    const QPolygonF right{{76, 74}, {86, 74}, {81, 64}};
    p.drawPolygon(left);
    p.drawPolygon(right);

    // The beam: light concrete with a dark outline.
    const QRectF beam(6, 34, 88, 30);
    p.setBrush(QColor(196, 200, 204));
    p.setPen(QPen(QColor(52, 60, 70), 2.5));
    p.drawRect(beam);

    // The tendon: high at the ends, lowest at mid-span, y = a x^2 about the
    // vertex, the profile the program computes.
    const double top = 40, bottom = 58, half = 41;
    QPainterPath tendon;
    for (int i = 0; i <= 82; ++i) {
        const double x = i - half;
        const double y = bottom - (bottom - top) * (x * x) / (half * half);
        if (i == 0)
            tendon.moveTo(9 + i, y);
        else
            tendon.lineTo(9 + i, y);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(200, 30, 30), 3.5, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(tendon);

    // Anchor plates at both ends.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 30, 30));
    p.drawRect(QRectF(4, 36, 4, 8));
    p.drawRect(QRectF(92, 36, 4, 8));

    // Span dimension under the beam.
    p.setPen(QPen(QColor(52, 60, 70), 1.5));
    p.drawLine(QPointF(19, 84), QPointF(81, 84));
    p.drawLine(QPointF(19, 80), QPointF(19, 88));
    p.drawLine(QPointF(81, 80), QPointF(81, 88));
    p.end();

    if (!image.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "make_icon: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
