#include "drawing/drawing.h"

#include "calc/continuous.h"
#include "calc/geometry.h"
#include "numeric/number_text.h"
#include "schedule/notes.h"

#include <algorithm>
#include <cmath>

namespace drawing {

namespace {

constexpr LayerStyle layers[]{
    {"PT-BEAM", 8, "the beam's top and bottom faces and its ends"},
    {"PT-SUPPORT", 8, "the supports under the beam"},
    {"PT-TENDON", 1, "the tendon: its parabolas"},
    {"PT-POINTS", 3, "the key points, marked, with their heights above the bottom face"},
    {"PT-DIM", 4, "dimensions: k1·l, k2·l, k3·l, l, and any step"},
    {"PT-TABLE", 7, "the coordinate table at the setting-out stations"},
    {"PT-TITLE", 7, "the tendon's mark, profile, strand length and count, and its notes"},
};

// Where things stand below the beam's bottom face and above its top, in the
// model's millimetres for a drawing plotted at 1:50.
constexpr double supportHeight = 260, supportHalf = 150, markRadius = 40;
constexpr double firstDimension = -700, dimensionPitch = 400;
constexpr double cellWidth = 700, headWidth = 900, rowHeight = 400;

std::string whole(double value) { return std::to_string(calc::wholeMillimetres(value)); }

// The text before its English gloss: a drawing speaks Chinese.
std::string chinese(const std::string &note) { return note.substr(0, note.find(" (")); }

struct Span {
    const schedule::Result *row;
    calc::ProfileGeometry geometry;
    calc::HeldParameters held;
    double start;
};

// A point's label where it reads clear of the tendon: above a point in the
// beam's lower half, below one in its upper half; of two at one x (a step),
// the upper above and the lower below.
Text label(Point at, double depth, const std::string &text, int place)
{
    const bool above = place > 0 || (place == 0 && at.y < depth / 2);
    const double y = above ? at.y + 2 * markRadius : at.y - 2 * markRadius - labelHeight;
    return {Layer::points, {at.x, y}, labelHeight, text, Text::Align::centre};
}

} // namespace

const LayerStyle &styleOf(Layer layer) { return layers[int(layer)]; }

Point Parabola::at(double t) const
{
    const double u = 1 - t;
    return {u * u * from.x + 2 * u * t * control.x + t * t * to.x, u * u * from.y + 2 * u * t * control.y + t * t * to.y};
}

std::vector<Point> chords(const Parabola &curve, double tolerance)
{
    // A quadratic's chord over a share dt of its parameter strays at most
    // |P0 − 2·P1 + P2|·dt²/4 from it, at the chord's middle.
    const double bend = std::hypot(curve.from.x - 2 * curve.control.x + curve.to.x,
                                   curve.from.y - 2 * curve.control.y + curve.to.y);
    const int pieces = std::max(1, int(std::ceil(std::sqrt(bend / (4 * tolerance)))));
    std::vector<Point> points;
    for (int n = 0; n <= pieces; ++n)
        points.push_back(curve.at(double(n) / pieces));
    return points;
}

std::string BlockNames::take(std::string_view mark)
{
    std::string name;
    for (char c : mark) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
        if (plain)
            name += c;
        else if (!name.empty() && name.back() != '_')
            name += '_'; // a blank, a slash, a Chinese character: one underscore for a run of them
        if (name.size() == 56)
            break;
    }
    while (!name.empty() && name.back() == '_')
        name.pop_back();
    if (name.empty())
        name = "TENDON";
    const auto key = [](std::string_view text) {
        std::uint64_t hash = 0xCBF29CE484222325;
        for (char c : text)
            hash = (hash ^ std::uint8_t(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c)) * 0x100000001B3;
        return hash;
    };
    std::string unique = name;
    for (int n = 2; taken_.contains(key(unique)); ++n)
        unique = name + "-" + std::to_string(n);
    taken_.insert(key(unique));
    return unique;
}

TendonDrawing layOut(std::span<const schedule::Result *const> rows, double step)
{
    namespace out = schedule::output;
    TendonDrawing drawn;
    const auto &head = rows.front()->cells;
    drawn.mark = head[out::tendon];
    const auto put = [&drawn](Item item) { drawn.items.push_back(std::move(item)); };

    std::vector<const calc::Tendon *> tendons;
    for (const schedule::Result *row : rows)
        tendons.push_back(&*row->tendon);
    const calc::ContinuousTendon joined = calc::continuousTendon(tendons);
    std::vector<Span> spans;
    for (std::size_t n = 0; n < rows.size(); ++n)
        spans.push_back({rows[n], calc::geometryOf(*tendons[n]), calc::readParameters(tendons[n]->parameters), joined.starts[n]});
    const double length = joined.starts.back();
    double depth = 0;
    for (const Span &s : spans)
        depth = std::max(depth, s.geometry.depth());

    // The beam: its faces span by span, its ends and the supports under them.
    std::vector<double> supports;
    for (const Span &s : spans) {
        const double l = s.geometry.span(), d = s.geometry.depth();
        put(Line{Layer::beam, {s.start, 0}, {s.start + l, 0}});
        put(Line{Layer::beam, {s.start, d}, {s.start + l, d}});
        put(Line{Layer::beam, {s.start, 0}, {s.start, d}});
        put(Line{Layer::beam, {s.start + l, 0}, {s.start + l, d}});
        if (supports.empty() || std::abs(supports.back() - s.start) > 0.5)
            supports.push_back(s.start);
        supports.push_back(s.start + l);
    }
    for (double x : supports)
        put(Polyline{Layer::support, {{x, 0}, {x - supportHalf, -supportHeight}, {x + supportHalf, -supportHeight}}, true});

    // The tendon, each parabola exactly, and its key points with their
    // heights; where spans meet, a support's.
    for (const Span &s : spans) {
        const calc::ProfileGeometry &g = s.geometry;
        const std::vector<calc::KeyPoint> points = g.keyPoints();
        for (int segment = 1; segment <= g.segmentCount(); ++segment) {
            const double x0 = points[std::size_t(segment - 1)].x, x1 = points[std::size_t(segment)].x;
            if (!(x1 > x0))
                continue;
            const double y0 = g.height(segment, x0);
            put(Parabola{{s.start + x0, y0}, {s.start + (x0 + x1) / 2, y0 + g.slope(segment, x0) * (x1 - x0) / 2},
                                     {s.start + x1, g.height(segment, x1)}});
        }
    }
    struct Mark {
        double x, height;
        std::string name;
    };
    std::vector<Mark> marks;
    for (std::size_t n = 0; n < spans.size(); ++n) {
        const calc::ProfileGeometry &g = spans[n].geometry;
        for (const calc::KeyPoint &point : g.keyPoints()) {
            const bool inner = (point.kind == calc::PointKind::leftEnd && n > 0)
                               || (point.kind == calc::PointKind::rightEnd && n + 1 < spans.size());
            for (const calc::ProfileGeometry::Height &h : g.heightsAt(point.x)) {
                std::string name(inner ? "支座" : calc::pointName(point.kind));
                if (h.side)
                    name += h.side < 0 ? "（左段）" : "（右段）";
                const Mark mark{spans[n].start + point.x, h.height, name};
                // Where spans meet at one height, one mark says it.
                if (!(inner && !marks.empty() && std::abs(marks.back().x - mark.x) < 0.5
                      && calc::wholeMillimetres(marks.back().height) == calc::wholeMillimetres(mark.height)))
                    marks.push_back(mark);
            }
        }
    }
    for (std::size_t n = 0; n < marks.size(); ++n) {
        const Mark &m = marks[n];
        put(Circle{Layer::points, {m.x, m.height}, markRadius});
        // Two heights at one place: the upper labelled above, the lower below.
        int place = 0;
        for (std::size_t k = 0; k < marks.size(); ++k)
            if (k != n && std::abs(marks[k].x - m.x) < 0.5)
                place = m.height > marks[k].height ? 1 : -1;
        put(label({m.x, m.height}, depth, m.name + " " + whole(m.height), place));
        if (place > 0)
            for (const Mark &lower : marks)
                if (std::abs(lower.x - m.x) < 0.5 && lower.height < m.height)
                    put(Dimension{{m.x, lower.height}, {m.x, m.height}, {m.x + 300, 0},
                                  spans.size() == 1 ? "lg2/2=<>" : "错台 <>", true});
    }

    // The atlas's dimensions under the beam, a row for each kind, and the
    // whole tendon's under those of a tendon through several spans; under
    // the tendon too where it leaves the beam (its key points are its
    // lowest and highest points).
    double under = 0, over = depth;
    for (const Mark &m : marks) {
        under = std::min(under, m.height);
        over = std::max(over, m.height);
    }
    double lowest = under + firstDimension;
    const auto dimension = [&](double from, double to, int row, std::string text) {
        const double y = under + firstDimension - dimensionPitch * row;
        lowest = std::min(lowest, y);
        put(Dimension{{from, 0}, {to, 0}, {0, y}, std::move(text)});
    };
    for (const Span &s : spans) {
        const double l = s.geometry.span(), x = s.start;
        if (s.geometry.profile() == calc::Profile::c4) {
            dimension(x, x + s.held.k1 * l, 0, "k1×l=<>");
            dimension(x + l - s.held.k3 * l, x + l, 0, "k3×l=<>");
            dimension(x, x + s.held.k2 * l, 1, "k2×l=<>");
        } else {
            dimension(x, x + l / 2, 1, "l/2=<>");
        }
        dimension(x, x + l, 2, "l=<>");
    }
    if (spans.size() > 1)
        dimension(0, length, 3, "<>");

    // The coordinate table: x from the tendon's left end and the height above
    // the bottom face at each setting-out station, as the sheet gives them,
    // in bands as long as the tendon.
    std::vector<std::pair<double, double>> stations;
    for (const Span &s : spans)
        for (const calc::ProfileGeometry::Height &h : s.geometry.settingOut(step))
            stations.emplace_back(s.start + h.x, h.height);
    const std::size_t columns = std::max<std::size_t>(8, std::size_t(length / cellWidth));
    double top = lowest - 500;
    put(Text{Layer::table, {0, top - labelHeight}, labelHeight,
                         "预应力筋曲线坐标表（x 自束左端，高度为钢绞线中心距梁底，mm）"});
    top -= labelHeight + 200;
    for (std::size_t first = 0; first < stations.size(); first += columns) {
        const std::size_t count = std::min(columns, stations.size() - first);
        const double right = headWidth + double(count) * cellWidth;
        for (int line = 0; line <= 2; ++line)
            put(Line{Layer::table, {0, top - line * rowHeight}, {right, top - line * rowHeight}});
        for (std::size_t c = 0; c <= count; ++c) {
            const double x = c == 0 ? 0 : headWidth + double(c - 1) * cellWidth;
            put(Line{Layer::table, {x, top}, {x, top - 2 * rowHeight}});
        }
        put(Line{Layer::table, {right, top}, {right, top - 2 * rowHeight}});
        const auto cell = [&](double left, double width, int row, std::string text) {
            put(Text{Layer::table, {left + width / 2, top - row * rowHeight - (rowHeight + labelHeight) / 2},
                                 labelHeight, std::move(text), Text::Align::centre});
        };
        cell(0, headWidth, 0, "x");
        cell(0, headWidth, 1, "高度");
        for (std::size_t c = 0; c < count; ++c) {
            cell(headWidth + double(c) * cellWidth, cellWidth, 0, whole(stations[first + c].first));
            cell(headWidth + double(c) * cellWidth, cellWidth, 1, whole(stations[first + c].second));
        }
        drawn.right = std::max(drawn.right, right);
        top -= 2 * rowHeight + 300;
    }
    drawn.bottom = top;

    // The title above the beam: the mark, the spans' profiles, the strand
    // and the count; under it what the drafter must know of the geometry.
    std::string profiles;
    for (const schedule::Result *row : rows)
        profiles += (profiles.empty() ? "" : "、") + row->cells[out::profile];
    const std::string strand = rows.size() > 1 ? head[out::tendonLength] : head[out::length];
    std::string title = drawn.mark + "　" + (rows.size() > 1 ? std::to_string(rows.size()) + " 跨：" : "") + profiles
                        + "　钢绞线长 " + strand + " mm　" + head[out::count] + " 束";
    if (head[out::name] != drawn.mark && rows.size() == 1)
        title += "　（" + head[out::name] + "）";
    std::vector<std::string> notes;
    for (const Span &s : spans)
        if (const std::string note = schedule::midSpanStepNote(s.geometry); !note.empty())
            notes.push_back((spans.size() > 1 ? s.row->cells[out::name] + "：" : "") + chinese(note));
    for (const calc::Support &support : joined.supports)
        if (support.stepped())
            notes.push_back("第 " + std::to_string(support.left + 1) + "、" + std::to_string(support.left + 2) + " 跨之间孔道错台：梁顶以下 "
                            + whole(support.leftBelowTop) + " 与 " + whole(support.rightBelowTop) + " mm");
    double y = over + 500 + double(notes.size()) * (labelHeight + 150);
    put(Text{Layer::title, {0, y}, titleHeight, title});
    drawn.top = y + titleHeight;
    for (const std::string &note : notes) {
        y -= labelHeight + 150;
        put(Text{Layer::title, {0, y}, labelHeight, note});
    }
    drawn.right = std::max(drawn.right, length);
    return drawn;
}

} // namespace drawing
