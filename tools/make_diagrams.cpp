// Draws the two atlas diagrams the program shows, as black line drawings on
// white, and writes them as 8-bit palette BMP files:
//   101.bmp  C2a, 797 x 433: two reversed parabolas tangent at mid-span
//   102.bmp  C4,  798 x 474: four parabolic segments
// and the same drawings at twice the detail, for screens with more pixels
// (101@2x.png, 102@2x.png).
// The drawings are the program's own (src/diagrams/atlas.cpp), painted here
// with QPainter; the page draws the same as SVG.
//
//     make_diagrams OUTPUT_FOLDER

#include "diagrams/atlas.h"

#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>

namespace {

const QColor ink(0, 0, 0);

QString fromUtf8(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }
QRectF rect(const diagrams::Box &b) { return QRectF(b.left, b.top, b.width, b.height); }

// The atlas's primitives painted into a bitmap.
class Painted final : public diagrams::Drafter {
public:
    // Coordinates are those of the bitmap; `detail` draws them that many
    // times finer, for screens with more pixels.
    Painted(QImage &image, int detail) : p(&image)
    {
        p.scale(detail, detail);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
    }

    void setFont(int pixels, bool bold) override
    {
        QFont font;
        font.setFamilies({QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Source Han Sans SC"),
                          QStringLiteral("WenQuanYi Micro Hei")});
        font.setPixelSize(pixels);
        font.setBold(bold);
        p.setFont(font);
    }

    double textWidth(std::string_view text) override { return p.fontMetrics().horizontalAdvance(fromUtf8(text)); }

    void text(const diagrams::Box &box, std::string_view text, diagrams::Place place) override
    {
        const int flags = place == diagrams::Place::bottom  ? Qt::AlignHCenter | Qt::AlignBottom
                          : place == diagrams::Place::left  ? Qt::AlignLeft | Qt::AlignVCenter
                          : place == diagrams::Place::right ? Qt::AlignRight | Qt::AlignVCenter
                                                            : int(Qt::AlignCenter);
        p.setPen(ink);
        p.drawText(rect(box), flags, fromUtf8(text));
    }

    void beam(const diagrams::Box &box) override
    {
        p.setPen(QPen(ink, 2.5, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p.setBrush(Qt::NoBrush);
        p.drawRect(rect(box));
    }

    void tendon(std::span<const diagrams::Point> points) override
    {
        QPainterPath path(QPointF(points[0].x, points[0].y));
        for (const diagrams::Point &point : points.subspan(1))
            path.lineTo(point.x, point.y);
        QPen pen(ink, 2.2, Qt::CustomDashLine, Qt::FlatCap);
        pen.setDashPattern({9, 3, 1.5, 3});
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
    }

    void line(diagrams::Point from, diagrams::Point to, double width) override
    {
        p.setPen(QPen(ink, width, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(from.x, from.y), QPointF(to.x, to.y));
    }

    void fill(std::span<const diagrams::Point> corners) override
    {
        QPolygonF shape;
        for (const diagrams::Point &corner : corners)
            shape << QPointF(corner.x, corner.y);
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawPolygon(shape);
        p.setBrush(Qt::NoBrush);
    }

    void dot(diagrams::Point centre, double radius) override
    {
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawEllipse(QPointF(centre.x, centre.y), radius, radius);
        p.setBrush(Qt::NoBrush);
    }

private:
    QPainter p;
};

QImage drawn(int resource, int detail)
{
    const diagrams::Size size = diagrams::atlasSize(resource);
    QImage image(size.width * detail, size.height * detail, QImage::Format_RGB32);
    image.fill(Qt::white);
    Painted painted(image, detail);
    diagrams::drawAtlas(resource, painted);
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
    const bool ok = save(drawn(diagrams::c2a, 1), out.filePath(QStringLiteral("101.bmp")))
                    && save(drawn(diagrams::c4, 1), out.filePath(QStringLiteral("102.bmp")))
                    && save(drawn(diagrams::c2a, 2), out.filePath(QStringLiteral("101@2x.png")))
                    && save(drawn(diagrams::c4, 2), out.filePath(QStringLiteral("102@2x.png")));
    return ok ? 0 : 1;
}
