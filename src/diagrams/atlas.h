#pragma once

// The two atlas diagrams as drawings, in plain C++: black line drawings with
// Chinese labels on white, drawn through whichever painter shows them (the
// bitmaps the window keeps are painted by QPainter, the page's by SVG), and
// where a diagram goes in the picture area.

#include <span>
#include <string>
#include <string_view>

namespace diagrams {

// The atlas diagrams by resource number.
inline constexpr int c2a = 101;
inline constexpr int c4 = 102;

// Where a diagram is drawn, in twips of the picture area, held in single
// precision like every picture geometry value.
struct Placement {
    float left;
    float top;
    float width;
    float height;
};

// A picture of iw x ih twips in an area of bw x bh twips, without distortion:
// across the area's full width when the picture is wider than tall, else its
// full height, and centred. What falls outside the area is not shown, equally
// on both sides.
Placement place(float iw, float ih, float bw, float bh);

// Positions in the bitmap's pixels, y down.
struct Point {
    double x, y;
};
struct Box {
    double left, top, width, height;
};
// How a text stands in its box.
enum class Place { centre, bottom, left, right };

// What a diagram is drawn with. Line widths are in pixels of the bitmap.
class Drafter {
public:
    virtual ~Drafter() = default;
    // The labels' face (a CJK sans) at a size in pixels.
    virtual void setFont(int pixels, bool bold) = 0;
    virtual double textWidth(std::string_view text) = 0;
    virtual void text(const Box &box, std::string_view text, Place place) = 0;
    // The beam's outline, heavier than the rest.
    virtual void beam(const Box &box) = 0;
    // The tendon, dash-dot, through its points.
    virtual void tendon(std::span<const Point> points) = 0;
    virtual void line(Point from, Point to, double width) = 0;
    // A filled shape: an arrowhead.
    virtual void fill(std::span<const Point> corners) = 0;
    // A filled point marker.
    virtual void dot(Point centre, double radius) = 0;
};

// A diagram's size in pixels (797 x 433 for C2a, 798 x 474 for C4), and the
// diagram drawn; nothing for a number that has none.
struct Size {
    int width, height;
};
Size atlasSize(int resource);
void drawAtlas(int resource, Drafter &drafter);

// The same drawing as an SVG document, its viewBox the bitmap's pixels, for
// a screen of any density; "" for a number that has none.
std::string atlasSvg(int resource);

} // namespace diagrams
