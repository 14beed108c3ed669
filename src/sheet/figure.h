#pragma once

// The calculation sheet's drawings as data: lines, polylines, rectangles,
// circles and texts in millimetres on the paper, worked out once in plain
// C++ from a tendon's results, then drawn by whichever painter shows them
// (QPainter into the PDF, SVG in the page). A text stands in a box `width`
// wide and 6 mm high, centred on its height, aligned in it as it says; each
// painter places it by its own font.

#include "calc/geometry.h"
#include "schedule/schedule.h"

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace figure {

enum class Dash { solid, dash, dot, dashDot };
enum class Align { left, centre, right };

struct Pen {
    double width = 0.15; // mm
    Dash dash = Dash::solid;
    std::uint32_t colour = 0x000000;
};
struct Point {
    double x, y;
};
struct Line {
    Point from, to;
    Pen pen;
};
struct Polyline {
    std::vector<Point> points;
    Pen pen;
};
struct Rect {
    double x, y, width, height;
    Pen pen;
};
struct Circle {
    Point centre;
    double radius;
    Pen pen;
};
struct Text {
    double x, y, width;
    std::string text;
    double points; // the font's size
    Align align = Align::left;
    bool bold = false;
};
// A two-dimensional code: `size` x `size` modules, row by row, dark where
// true, each `module` mm square, its top left corner at (x, y).
struct Code {
    double x, y, module;
    int size;
    std::vector<bool> dark;
};
using Item = std::variant<Line, Polyline, Rect, Circle, Text, Code>;

// About how wide a text stands at a size, mm: a CJK character an em, any
// other six tenths of one (the sheet's digits, Latin letters and signs).
double textWidth(const std::string &text, double points);

// The lines a text stands in at a size: broken at each '\n' and where the
// next character would pass `width` mm.
std::vector<std::string> wrapped(const std::string &text, double width, double points);

// A length as the sheet writes it: whole millimetres.
inline std::string mm(double value) { return std::to_string(calc::wholeMillimetres(value)); }

// An area of the paper, mm from its top left corner.
struct Area {
    double left, top, width, height;
};

struct Figure {
    std::vector<Item> items; // in the order they are drawn
};

// Drawing onto pages as onto paper: the pen and the font last set hold for
// what follows, and everything goes on the last page.
class Paper {
public:
    explicit Paper(std::vector<Figure> &pages) : pages_(pages)
    {
        if (pages_.empty())
            pages_.emplace_back();
    }
    void newPage() { pages_.emplace_back(); }
    void pen(double width, Dash dash = Dash::solid, std::uint32_t colour = 0) { pen_ = {width, dash, colour}; }
    void font(double points, bool bold = false)
    {
        points_ = points;
        bold_ = bold;
    }
    void text(double x, double y, double width, std::string text, Align align = Align::left)
    {
        if (!text.empty()) // an empty cell of a table: nothing to draw
            add(Text{x, y, width, std::move(text), points_, align, bold_});
    }
    // Lines of `lineHeight` mm, broken as wrapped() breaks them; how many.
    int paragraph(double x, double y, double width, const std::string &text, double lineHeight);
    void line(double x0, double y0, double x1, double y1) { add(Line{{x0, y0}, {x1, y1}, pen_}); }
    void rect(double x, double y, double width, double height) { add(Rect{x, y, width, height, pen_}); }
    void circle(double x, double y, double radius) { add(Circle{{x, y}, radius, pen_}); }
    void polyline(std::vector<Point> points) { add(Polyline{std::move(points), pen_}); }
    void code(Code code) { add(std::move(code)); }
    void draw(const Figure &figure)
    {
        auto &items = pages_.back().items;
        items.insert(items.end(), figure.items.begin(), figure.items.end());
    }

private:
    void add(Item item) { pages_.back().items.push_back(std::move(item)); }

    std::vector<Figure> &pages_;
    Pen pen_;
    double points_ = 7;
    bool bold_ = false;
};

// The tendon's profile: the beam and the tendon to scale (both scales
// stated), the key points named, the atlas's dimension marks.
Figure profile(const Area &area, const calc::ProfileGeometry &geometry, const calc::HeldParameters &parameters);

// The stress along a tendon `length` mm long (the profile's horizontal scale,
// so an area as wide lines up under it): from each jacked end before
// anchoring, and dashed after it with each set zone's reach; the meeting
// point of two jacks marked.
Figure stress(const Area &area, double length, const schedule::Stressed &stressed);

// A tendon through several spans: each span's beam and profile end to end
// (`starts`: each span's left end from the tendon's, and its right end) at
// one scale, both stated, named, the supports marked.
Figure spans(const Area &area, const std::vector<const calc::Tendon *> &spans, const std::vector<double> &starts,
             const std::vector<std::string> &names);

// A figure as an SVG fragment (no <svg> element around it), in millimetres.
std::string svg(const Figure &figure);

// Each run of dark modules along a row of a code, as (x, y, width) in mm.
template <typename Each>
void forEachRun(const Code &code, Each each)
{
    for (int row = 0; row < code.size; ++row)
        for (int column = 0; column < code.size;) {
            if (!code.dark[std::size_t(row * code.size + column)]) {
                ++column;
                continue;
            }
            const int from = column;
            while (column < code.size && code.dark[std::size_t(row * code.size + column)])
                ++column;
            each(code.x + from * code.module, code.y + row * code.module, (column - from) * code.module);
        }
}

} // namespace figure
