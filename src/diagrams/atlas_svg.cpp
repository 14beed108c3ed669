// The atlas diagrams as SVG, for the page: the same drawing the window's
// bitmaps are painted from, in the bitmap's pixels, sharp at any zoom. The
// browser sets the labels in its own CJK sans; their widths, which place a
// few labels, are taken as the face's usual advances (an em for a CJK
// character, 0.56 em for the rest). The labels are the program's own texts,
// none with a character XML would need escaped.

#include "diagrams/atlas.h"

#include <cstdio>

namespace diagrams {

namespace {

std::string number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

class Svg final : public Drafter {
public:
    void setFont(int pixels, bool bold) override
    {
        pixels_ = pixels;
        bold_ = bold;
    }

    double textWidth(std::string_view text) override
    {
        double ems = 0;
        for (std::size_t at = 0; at < text.size(); ++at) {
            const auto byte = static_cast<unsigned char>(text[at]);
            if (byte >= 0x80 && byte < 0xc0)
                continue; // a continuation byte of the character before
            // U+2E80 and up (the CJK blocks) start with 0xe2 0xba or above.
            const bool wide = byte >= 0xe3 || (byte == 0xe2 && at + 1 < text.size() && static_cast<unsigned char>(text[at + 1]) >= 0xba);
            ems += wide ? 1.0 : 0.56;
        }
        return ems * pixels_;
    }

    void text(const Box &box, std::string_view text, Place place) override
    {
        const double middle = box.top + box.height / 2;
        const double x = place == Place::left ? box.left : place == Place::right ? box.left + box.width : box.left + box.width / 2;
        const char *anchor = place == Place::left ? "start" : place == Place::right ? "end" : "middle";
        const std::string y = place == Place::bottom ? number(box.top + box.height - 0.22 * pixels_) + "\""
                                                     : number(middle) + "\" dominant-baseline=\"central\"";
        out_ += "<text x=\"" + number(x) + "\" y=\"" + y + " text-anchor=\"" + anchor + "\" font-size=\"" + std::to_string(pixels_)
                + "\"" + (bold_ ? " font-weight=\"bold\"" : "") + ">" + std::string(text) + "</text>";
    }

    void beam(const Box &box) override
    {
        out_ += "<rect x=\"" + number(box.left) + "\" y=\"" + number(box.top) + "\" width=\"" + number(box.width) + "\" height=\""
                + number(box.height) + "\" fill=\"none\" stroke=\"#000\" stroke-width=\"2.5\" stroke-linejoin=\"miter\"/>";
    }

    // Dash, gap, dot, gap: nine, three, one and a half and three pen widths.
    void tendon(std::span<const Point> points) override
    {
        out_ += "<polyline fill=\"none\" stroke=\"#000\" stroke-width=\"2.2\" stroke-dasharray=\"19.8 6.6 3.3 6.6\" points=\""
                + pointsOf(points) + "\"/>";
    }

    void line(Point from, Point to, double width) override
    {
        out_ += "<line x1=\"" + number(from.x) + "\" y1=\"" + number(from.y) + "\" x2=\"" + number(to.x) + "\" y2=\"" + number(to.y)
                + "\" stroke=\"#000\" stroke-width=\"" + number(width) + "\"/>";
    }

    void fill(std::span<const Point> corners) override { out_ += "<polygon fill=\"#000\" points=\"" + pointsOf(corners) + "\"/>"; }

    void dot(Point centre, double radius) override
    {
        out_ += "<circle cx=\"" + number(centre.x) + "\" cy=\"" + number(centre.y) + "\" r=\"" + number(radius) + "\"/>";
    }

    std::string done() { return std::move(out_); }

private:
    static std::string pointsOf(std::span<const Point> points)
    {
        std::string out;
        for (const Point &point : points)
            (((out += number(point.x)) += ',') += number(point.y)) += ' ';
        return out;
    }

    std::string out_;
    int pixels_ = 16;
    bool bold_ = false;
};

} // namespace

std::string atlasSvg(int resource)
{
    const Size size = atlasSize(resource);
    if (size.width == 0)
        return {};
    Svg svg;
    drawAtlas(resource, svg);
    const std::string w = std::to_string(size.width), h = std::to_string(size.height);
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 " + w + " " + h + "\" class=\"atlas\" role=\"img\" aria-label=\""
           + (resource == c2a ? "C2a" : "C4") + "线型图例\"><rect width=\"" + w + "\" height=\"" + h + "\" fill=\"#fff\"/>"
           + svg.done() + "</svg>";
}

} // namespace diagrams
