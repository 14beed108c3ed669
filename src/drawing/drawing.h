#pragma once

// A tendon as the construction drawing shows it, laid out once as data in
// true millimetres of the model: the beam's faces and supports, the tendon's
// parabolas exactly (each a quadratic Bézier: its two ends and the meeting
// point of their tangents), the key points with their heights, dimensions of
// k1·l, k2·l, k3·l and l, the coordinate table at the setting-out stations and
// a title. Its origin is the tendon's left end on the beam's bottom face, x
// along the beam, y up; nothing is exaggerated. Plain C++, built for the
// program and the page; the DXF writer only writes what is laid out here.

#include "schedule/schedule.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_set>
#include <variant>
#include <vector>

namespace drawing {

// The layers a drafter switches one by one, each with its name (ASCII, as
// every CAD program reads) and colour (AutoCAD's index).
enum class Layer { beam, support, tendon, points, dimensions, table, title, count };
struct LayerStyle {
    std::string_view name;
    int colour;
    std::string_view what;
};
const LayerStyle &styleOf(Layer layer);

// Text heights in the model for a drawing plotted at 1:50: 3.5 mm of paper
// for labels and the table, 2.5 mm for dimensions, 5 mm for the title.
inline constexpr double labelHeight = 175, dimensionHeight = 125, titleHeight = 250;

struct Point {
    double x = 0, y = 0;
};
struct Line {
    Layer layer = Layer::beam;
    Point from, to;
};
// A parabolic segment of the tendon: from `from` to `to`, its tangents at
// the two meeting at `control`.
struct Parabola {
    Point from, control, to;
    Point at(double t) const; // t from 0 to 1
};
struct Polyline {
    Layer layer = Layer::beam;
    std::vector<Point> points;
    bool closed = false;
};
struct Circle {
    Layer layer = Layer::beam;
    Point centre;
    double radius = 0;
};
struct Text {
    enum class Align { left, centre, right };
    Layer layer = Layer::beam;
    Point at; // the baseline's start, middle or end as aligned
    double height = 0;
    std::string text;
    Align align = Align::left;
};
// A linear dimension between two points, its line through `line` (at its y
// where horizontal, its x where vertical); its text the measurement unless
// given.
struct Dimension {
    Point from, to, line;
    std::string text;
    bool vertical = false;
};
using Item = std::variant<Line, Parabola, Polyline, Circle, Text, Dimension>;

// One tendon: its mark (as the schedule gives it), the title that names it
// and its drawing; `bottom` and `top` bound it, for the next one to stand
// clear below.
struct TendonDrawing {
    std::string mark;
    std::vector<Item> items;
    double bottom = 0, top = 0, right = 0;
};

// The drawing of a tendon from its rows (one, or every span of a continuous
// tendon, left to right), each ok, with the setting-out stations `step` mm
// apart.
TendonDrawing layOut(std::span<const schedule::Result *const> rows, double step);

// The chords of a parabola that stay within `tolerance` mm of it, for
// readers that draw splines badly: the points from its start to its end.
std::vector<Point> chords(const Parabola &curve, double tolerance);

// A block name for a tendon's mark that every CAD program takes (ASCII
// letters, digits, - and _, at most 64 characters), not taken before (CAD
// names ignore case); the mark itself stays in the drawing's title.
class BlockNames {
public:
    std::string take(std::string_view mark);

private:
    // Each name taken, as a hash of it upper-cased: a schedule of any length
    // keeps a few bytes a tendon, and a name whose hash some other name
    // shares is only made unique once more than it had to be.
    std::unordered_set<std::uint64_t> taken_;
};

} // namespace drawing
