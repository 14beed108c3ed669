// Draws the two atlas diagrams the program shows, as black line drawings on
// white, and writes them as 8-bit palette BMP files:
//   101.bmp  C2a, 797 x 433: two reversed parabolas tangent at mid-span
//   102.bmp  C4,  798 x 474: four parabolic segments
// and the same drawings at twice the detail, for screens with more pixels
// (101@2x.png, 102@2x.png).
// The curves are the real profiles: the program's own coefficients and profile
// geometry for representative parameters, measured in pixels, so the vertical
// scale is exaggerated.
//
//     make_diagrams OUTPUT_FOLDER

#include "calc/geometry.h"
#include "numeric/number_text.h"

#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <cstdio>
#include <functional>

namespace {

const QColor ink(0, 0, 0);

// The profile as the program computes it, for a beam drawn from `left` to
// `left + lc` with its bottom face at `bottom`: the y of the tendon at x.
std::function<double(double)> profileOf(calc::Profile profile, const calc::HeldParameters &held, double left,
                                        double bottom)
{
    calc::Coefficients coefficients;
    calc::computeEquations(profile, held, coefficients);
    std::array<double, 4> a{};
    for (std::size_t i = 0; i < 4; ++i)
        a[i] = numeric::readNumber(coefficients.text[i]);
    const calc::ProfileGeometry geometry(profile, held, a);
    return [=](double x) { return bottom - geometry.height(x - left); };
}

// Drawing primitives in the atlas's style: thin dimension lines with filled
// arrowheads, a heavier beam outline, a dash-dot tendon.
class Drafter {
public:
    // Coordinates are those of the bitmap; `detail` draws them that many
    // times finer, for screens with more pixels.
    Drafter(QImage &image, int detail) : p(&image)
    {
        p.scale(detail, detail);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
    }

    void setFont(int pixels, bool bold = false)
    {
        QFont font;
        font.setFamilies({QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Source Han Sans SC"),
                          QStringLiteral("WenQuanYi Micro Hei")});
        font.setPixelSize(pixels);
        font.setBold(bold);
        p.setFont(font);
    }

    void beam(const QRectF &r)
    {
        p.setPen(QPen(ink, 2.5, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p.setBrush(Qt::NoBrush);
        p.drawRect(r);
    }

    // The tendon as a dash-dot line through y(x), one pixel at a time.
    void tendon(double x0, double x1, const std::function<double(double)> &y)
    {
        QPainterPath path(QPointF(x0, y(x0)));
        for (double x = x0 + 1; x < x1; x += 1)
            path.lineTo(x, y(x));
        path.lineTo(x1, y(x1));
        QPen pen(ink, 2.2, Qt::CustomDashLine, Qt::FlatCap);
        pen.setDashPattern({9, 3, 1.5, 3});
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
    }

    void line(QPointF a, QPointF b, double width = 1.0)
    {
        p.setPen(QPen(ink, width, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(a, b);
    }

    // A filled arrowhead with its tip at `tip`, pointing away from `from`.
    void arrowhead(QPointF from, QPointF tip, double length = 9, double half = 3)
    {
        const QPointF d = tip - from;
        const double n = std::hypot(d.x(), d.y());
        const QPointF u = d / n, v(-u.y(), u.x());
        const QPolygonF head{tip, tip - u * length + v * half, tip - u * length - v * half};
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawPolygon(head);
        p.setBrush(Qt::NoBrush);
    }

    // A point marker on the tendon.
    void dot(QPointF at)
    {
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawEllipse(at, 3, 3);
        p.setBrush(Qt::NoBrush);
    }

    void text(const QRectF &box, const QString &s, int flags = Qt::AlignCenter)
    {
        p.setPen(ink);
        p.drawText(box, flags, s);
    }

    double textWidth(const QString &s) { return p.fontMetrics().horizontalAdvance(s); }

    // A horizontal dimension from x0 to x1 at height y: extension lines down
    // from the beam face at `from`, arrows at both ends, the text above.
    void dimension(double x0, double x1, double y, double from, const QString &label)
    {
        line(QPointF(x0, from + 4), QPointF(x0, y + 6), 0.8);
        line(QPointF(x1, from + 4), QPointF(x1, y + 6), 0.8);
        line(QPointF(x0, y), QPointF(x1, y), 1.0);
        arrowhead(QPointF(x0 + 20, y), QPointF(x0, y));
        arrowhead(QPointF(x1 - 20, y), QPointF(x1, y));
        text(QRectF(x0, y - 24, x1 - x0, 22), label, Qt::AlignHCenter | Qt::AlignBottom);
    }

    // A vertical offset such as e1, from a beam face to the tendon, with ticks
    // at both ends and the name beside it.
    void offset(double x, double face, double tendonY, const QString &label, bool labelLeft)
    {
        line(QPointF(x, face), QPointF(x, tendonY), 1.0);
        line(QPointF(x - 5, face), QPointF(x + 5, face), 1.0);
        line(QPointF(x - 5, tendonY), QPointF(x + 5, tendonY), 1.0);
        arrowhead(QPointF(x, (face + tendonY) / 2), QPointF(x, face), 7, 2.5);
        arrowhead(QPointF(x, (face + tendonY) / 2), QPointF(x, tendonY), 7, 2.5);
        const double w = textWidth(label) + 4;
        const QRectF box(labelLeft ? x - 8 - w : x + 8, (face + tendonY) / 2 - 11, w, 22);
        text(box, label, (labelLeft ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    }

    // A pointer: the label, a leader from it to the point, an arrowhead there.
    void pointer(const QString &label, QPointF labelCentre, QPointF target)
    {
        const double w = textWidth(label);
        const QRectF box(labelCentre.x() - w / 2 - 2, labelCentre.y() - 11, w + 4, 22);
        text(box, label);
        const QPointF start(labelCentre.x(), target.y() < labelCentre.y() ? box.top() - 1 : box.bottom() + 1);
        line(start, target, 1.0);
        arrowhead(start, target);
        dot(target);
    }

    // A caption, underlined, with its notation lines centred below.
    void caption(double centre, double y, const QString &title, const QStringList &lines)
    {
        setFont(21, true);
        const double w = textWidth(title);
        text(QRectF(centre - w / 2 - 4, y, w + 8, 28), title);
        line(QPointF(centre - w / 2 - 6, y + 29), QPointF(centre + w / 2 + 6, y + 29), 1.4);
        setFont(18);
        double lineY = y + 36;
        for (const QString &s : lines) {
            text(QRectF(centre - 300, lineY, 600, 28), s);
            lineY += 30;
        }
    }

    QPainter p;
};

// C2a: e1 below the top face at the left end, falling to mid-height at
// mid-span, on down to e2 above the bottom face at the right end. Each
// parabola has its vertex at its end; with e1 = e2 they are tangent at the
// inflection point.
QImage drawC2a(int detail)
{
    QImage image(797 * detail, 433 * detail, QImage::Format_RGB32);
    image.fill(Qt::white);
    Drafter d(image, detail);

    const double left = 62, right = 735, top = 64, bottom = 224;
    const double span = right - left, half = span / 2;
    const double e1 = 30, e2 = 30;
    const double startY = top + e1, endY = bottom - e2, midY = (startY + endY) / 2;
    calc::HeldParameters held;
    held.e1 = e1;
    held.e2 = e2;
    held.lc = span;
    held.lg1 = std::int16_t(bottom - top);
    const auto profile = profileOf(calc::Profile::c2a, held, left, bottom);

    d.setFont(21, true);
    d.text(QRectF(left, 14, span, 32), QStringLiteral("两段反向相切抛物线"));

    d.beam(QRectF(left, top, span, bottom - top));
    d.tendon(left, right, profile);

    d.setFont(17);
    d.offset(left + 16, top, startY, QStringLiteral("e1"), false);
    d.offset(right - 16, bottom, endY, QStringLiteral("e2"), true);
    d.pointer(QStringLiteral("反弯点"), QPointF(left + half + 95, top + 30),
              QPointF(left + half, midY));

    d.dimension(left, left + half, 262, bottom, QStringLiteral("l/2"));
    d.dimension(left, right, 304, bottom, QStringLiteral("l"));

    d.caption(left + half, 336, QStringLiteral("基本线形C2a的缩略形式"),
              {QStringLiteral("(C2a, e1, e2)")});
    return image;
}

// C4: e1 below the top face at the left end, down to e2 above the bottom face
// at the lowest point k2 x l, up to e3 below the top face at the right end;
// inflection points at k1 x l and l - k3 x l. The four parabolas are those the
// program computes, for k1 = 0.15, k2 = 0.45 and k3 = 0.15.
QImage drawC4(int detail)
{
    QImage image(798 * detail, 474 * detail, QImage::Format_RGB32);
    image.fill(Qt::white);
    Drafter d(image, detail);

    // The program shows this drawing a little taller than its area and cuts
    // about 18 pixels off the top and the bottom; nothing lives there.
    const double left = 62, right = 736, top = 76, bottom = 226;
    const double l = right - left;
    const double k1 = 0.15, k2 = 0.45, k3 = 0.15;
    const double e1 = 24, e2 = 22, e3 = 30;
    const double startY = top + e1, lowY = bottom - e2, endY = top + e3;
    const double xi1 = l * k1, xLow = l * k2, xi2 = l - l * k3;
    const calc::HeldParameters held{e1, e2, e3, k1, k2, k3, l, std::int16_t(bottom - top), 0};
    const auto profile = profileOf(calc::Profile::c4, held, left, bottom);

    // Segment names over the span, each between tick marks.
    d.setFont(16);
    const double bounds[] = {0, xi1, xLow, xi2, l};
    for (int i = 0; i < 4; ++i) {
        const double x0 = left + bounds[i], x1 = left + bounds[i + 1];
        d.line(QPointF(x0, 46), QPointF(x0, 66), 0.8);
        d.line(QPointF(x1, 46), QPointF(x1, 66), 0.8);
        d.line(QPointF(x0, 58), QPointF(x1, 58), 0.8);
        const QString name = QStringLiteral("抛物线段%1").arg(i + 1);
        const double w = d.textWidth(name);
        d.text(QRectF((x0 + x1) / 2 - w / 2 - 2, 24, w + 4, 24), name);
    }

    d.beam(QRectF(left, top, l, bottom - top));
    d.tendon(left, right, profile);

    d.setFont(16);
    d.offset(left + 14, top, startY, QStringLiteral("e1"), false);
    d.offset(left + xLow + 34, bottom, lowY, QStringLiteral("e2"), false);
    d.offset(right - 14, top, endY, QStringLiteral("e3"), true);

    d.pointer(QStringLiteral("左反弯点"), QPointF(left + xi1 + 78, top + 30),
              QPointF(left + xi1, profile(left + xi1)));
    d.pointer(QStringLiteral("最低点"), QPointF(left + xLow, top + 30), QPointF(left + xLow, lowY));
    d.pointer(QStringLiteral("右反弯点"), QPointF(left + xi2 - 80, top + 30),
              QPointF(left + xi2, profile(left + xi2)));

    d.setFont(16);
    d.dimension(left, left + xi1, 258, bottom, QStringLiteral("k1×l"));
    d.dimension(left + xi2, right, 258, bottom, QStringLiteral("k3×l"));
    d.dimension(left, left + xLow, 288, bottom, QStringLiteral("k2×l"));
    d.dimension(left, right, 318, bottom, QStringLiteral("l"));

    d.caption(left + l / 2, 336, QStringLiteral("基本线形C4及其缩略形式"),
              {QStringLiteral("基本表达: (C4, e1, e2, e3, k1, k2, k3)"),
               QStringLiteral("缩略表达: (e1, e2, e3)")});
    return image;
}

// Black on white with antialiased edges needs only greys: an exact 256-grey
// palette keeps every pixel as drawn.
QImage toPalette(const QImage &image)
{
    QList<QRgb> greys;
    for (int g = 0; g < 256; ++g)
        greys << qRgb(g, g, g);
    return image.convertToFormat(QImage::Format_Grayscale8)
        .convertToFormat(QImage::Format_Indexed8, greys, Qt::ThresholdDither);
}

bool save(const QImage &image, const QString &path)
{
    if (toPalette(image).save(path))
        return true;
    std::fprintf(stderr, "make_diagrams: cannot write %s\n", qPrintable(path));
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_diagrams OUTPUT_FOLDER\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (!QFontDatabase::families(QFontDatabase::SimplifiedChinese).contains(QStringLiteral("Noto Sans CJK SC"))) {
        std::fprintf(stderr, "make_diagrams: needs the Noto Sans CJK SC face (fonts-noto-cjk)\n");
        return 1;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const bool ok = save(drawC2a(1), out.filePath(QStringLiteral("101.bmp")))
                    && save(drawC4(1), out.filePath(QStringLiteral("102.bmp")))
                    && save(drawC2a(2), out.filePath(QStringLiteral("101@2x.png")))
                    && save(drawC4(2), out.filePath(QStringLiteral("102@2x.png")));
    return ok ? 0 : 1;
}
