#include "sheet/figure.h"

#include "calc/anchoring.h"
#include "numeric/number_text.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace figure {

namespace {

// A dimension in the atlas's style: a line with ticks at both ends and its
// text above the middle.
void dimension(Paper &paper, double x0, double x1, double y, const std::string &label)
{
    paper.pen(0.15);
    paper.line(x0, y, x1, y);
    paper.line(x0, y - 1.2, x0, y + 1.2);
    paper.line(x1, y - 1.2, x1, y + 1.2);
    paper.font(6.5);
    paper.text(std::min(x0, x1) - 20, y - 5.2, std::abs(x1 - x0) + 40, label, Align::centre); // clear of the ticks
}

// Its text beside the middle; `under`, where the dimension is too short for
// it to stand clear of the lines at its ends, under its lower end.
void verticalDimension(Paper &paper, double x, double y0, double y1, const std::string &label, bool textLeft,
                       bool under = false)
{
    paper.pen(0.15);
    paper.line(x, y0, x, y1);
    paper.line(x - 1, y0, x + 1, y0);
    paper.line(x - 1, y1, x + 1, y1);
    paper.font(6.5);
    const double middle = under && std::abs(y1 - y0) < 3.4 ? std::max(y0, y1) + 1.8 : (y0 + y1) / 2;
    paper.text(textLeft ? x - 21 : x + 1, middle - 3, 20, label, textLeft ? Align::right : Align::left);
}

std::string scales(int across, int up)
{
    return "横向 1:" + std::to_string(across) + "，竖向 1:" + std::to_string(up);
}

} // namespace

double textWidth(const std::string &text, double points)
{
    double ems = 0;
    for (std::size_t at = 0; at < text.size();) {
        const auto lead = static_cast<unsigned char>(text[at]);
        const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        ems += length >= 3 ? 1 : 0.6;
        at += length;
    }
    return ems * points * 0.3528;
}

std::vector<std::string> wrapped(const std::string &text, double width, double points)
{
    std::vector<std::string> lines;
    std::size_t from = 0;
    while (from <= text.size()) {
        std::size_t end = text.find('\n', from);
        if (end == std::string::npos)
            end = text.size();
        // A line breaks between CJK characters and at blanks, not inside a
        // Latin word unless the word alone is too wide.
        std::string line;
        std::size_t breakAt = 0;
        for (std::size_t at = from; at < end;) {
            const auto lead = static_cast<unsigned char>(text[at]);
            const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
            const std::string next = text.substr(at, length);
            if (length >= 3)
                breakAt = line.size();
            if (!line.empty() && textWidth(line + next, points) > width) {
                const std::size_t cut = breakAt > 0 ? breakAt : line.size();
                lines.push_back(line.substr(0, cut));
                line.erase(0, cut);
                breakAt = 0;
            }
            line += next;
            if (next == " " || length >= 3)
                breakAt = line.size();
            at += length;
        }
        lines.push_back(std::move(line));
        from = end + 1;
    }
    return lines;
}

int Paper::paragraph(double x, double y, double width, const std::string &text, double lineHeight)
{
    const std::vector<std::string> lines = wrapped(text, width, points_);
    for (const std::string &line : lines) {
        this->text(x, y, width, line);
        y += lineHeight;
    }
    return int(lines.size());
}

Figure profile(const Area &area, const calc::ProfileGeometry &g, const calc::HeldParameters &parameters)
{
    std::vector<Figure> drawn(1);
    Paper paper(drawn);
    const auto scale = calc::drawingScales(g, area.width, area.height);
    const int across = scale.across, up = scale.up;
    const double x0 = area.left + calc::sheetDrawingMargin, beamTop = area.top + calc::sheetBeamTop;
    const double beamBottom = beamTop + g.depth() / up;
    const auto X = [&](double x) { return x0 + x / across; };
    const auto Y = [&](double h) { return beamBottom - h / up; };

    paper.font(7);
    paper.text(area.left, area.top, area.width, scales(across, up), Align::right);
    paper.pen(0.5);
    paper.rect(X(0), beamTop, g.span() / across, g.depth() / up);
    std::vector<Point> tendon;
    constexpr int samples = 400;
    for (int i = 0; i <= samples; ++i) {
        const double x = g.span() * i / samples;
        tendon.push_back({X(x), Y(g.height(x))});
    }
    paper.pen(0.35, Dash::dashDot);
    paper.polyline(std::move(tendon));

    // Key points on the curve, labelled above the beam.
    for (const calc::KeyPoint &point : g.keyPoints()) {
        paper.pen(0.25);
        for (const calc::ProfileGeometry::Height &h : g.heightsAt(point.x)) // both ends of a step
            paper.circle(X(point.x), Y(h.height), 0.6);
        if (point.kind == calc::PointKind::inflection || point.kind == calc::PointKind::lowest) {
            paper.pen(0.1, Dash::dot);
            paper.line(X(point.x), beamTop - 2, X(point.x), beamBottom);
            paper.font(6.5);
            paper.text(X(point.x) - 15, beamTop - 8, 30, std::string(calc::pointName(point.kind)), Align::centre);
        }
    }

    // The offsets as the atlas marks them: e1 and e3 below the top face at
    // the ends, e2 above the bottom face at the lowest point (C2a: at the right end).
    const bool c4 = g.profile() == calc::Profile::c4;
    const auto named = [](const char *name, double value) { return name + ("=" + numeric::writeNumber(value)); };
    verticalDimension(paper, X(0) - 3, beamTop, Y(g.height(1, 0)), named("e1", parameters.e1), true);
    if (c4) {
        const double low = parameters.k2 * g.span();
        verticalDimension(paper, X(low) + 3, Y(g.height(2, low)), beamBottom, named("e2", parameters.e2), false, true);
        verticalDimension(paper, X(g.span()) + 3, beamTop, Y(g.height(4, g.span())), named("e3", parameters.e3), false);
    } else {
        verticalDimension(paper, X(g.span()) + 3, Y(g.height(2, g.span())), beamBottom, named("e2", parameters.e2), false);
    }

    const double lc = g.span();
    double y = beamBottom + 7;
    if (c4) {
        dimension(paper, X(0), X(parameters.k1 * lc), y, "k1×l=" + mm(parameters.k1 * lc));
        dimension(paper, X(lc - parameters.k3 * lc), X(lc), y, "k3×l=" + mm(parameters.k3 * lc));
        y += 6;
        dimension(paper, X(0), X(parameters.k2 * lc), y, "k2×l=" + mm(parameters.k2 * lc));
    } else {
        dimension(paper, X(0), X(lc / 2), y, "l/2=" + mm(lc / 2));
    }
    dimension(paper, X(0), X(lc), y + 6, "l=" + mm(lc));
    return std::move(drawn.front());
}

Figure spans(const Area &area, const std::vector<const calc::Tendon *> &spans, const std::vector<double> &starts,
             const std::vector<std::string> &names)
{
    std::vector<Figure> drawn(1);
    Paper paper(drawn);
    std::vector<calc::ProfileGeometry> geometries;
    double depth = 0;
    for (const calc::Tendon *span : spans) {
        geometries.push_back(calc::geometryOf(*span));
        depth = std::max(depth, geometries.back().depth());
    }
    const double length = starts.back();
    const auto scale = calc::drawingScales(length, depth, area.width, area.height);
    const int across = scale.across, up = scale.up;
    const double beamTop = area.top + calc::sheetBeamTop;
    const auto X = [&](double x) { return area.left + calc::sheetDrawingMargin + x / across; };
    paper.font(7);
    paper.text(area.left, area.top, area.width, scales(across, up), Align::right);
    double lowest = beamTop;
    for (std::size_t n = 0; n < geometries.size(); ++n) {
        const calc::ProfileGeometry &g = geometries[n];
        const double beamBottom = beamTop + g.depth() / up;
        lowest = std::max(lowest, beamBottom);
        paper.pen(0.5);
        paper.rect(X(starts[n]), beamTop, g.span() / across, g.depth() / up);
        std::vector<Point> tendon;
        constexpr int samples = 200;
        for (int i = 0; i <= samples; ++i) {
            const double x = g.span() * i / samples;
            tendon.push_back({X(starts[n] + x), beamBottom - g.height(x) / up});
        }
        paper.pen(0.35, Dash::dashDot);
        paper.polyline(std::move(tendon));
        paper.font(6.5);
        paper.text(X(starts[n]), beamTop - 7, g.span() / across, names[n], Align::centre);
    }
    // The supports where spans meet, and the tendon's length end to end.
    paper.pen(0.3);
    for (std::size_t n = 1; n + 1 < starts.size(); ++n)
        paper.line(X(starts[n]), beamTop - 2, X(starts[n]), lowest + 2);
    dimension(paper, X(0), X(length), lowest + 7, "l=" + mm(length));
    return std::move(drawn.front());
}

Figure stress(const Area &area, double length, const schedule::Stressed &stressed)
{
    std::vector<Figure> drawn(1);
    Paper paper(drawn);
    const int across = calc::drawingScales(length, 1, area.width, area.height).across;
    const auto X = [&](double x) { return area.left + calc::sheetDrawingMargin + x / across; };
    const calc::Tensioning &t = stressed.tensioning;
    const double sigmaCon = stressed.stressing.sigmaCon;
    // From the lowest stress before or after anchoring, rounded down to 50 MPa, up to σcon.
    const calc::Anchoring &anchored = stressed.anchoring;
    double lowest = std::min(sigmaCon, anchored.lowest);
    for (const calc::PieceStress &piece : t.pieces)
        lowest = std::min(lowest, piece.sigmaOut);
    const double floor = std::max(0.0, std::floor(lowest * 0.98 / 50) * 50);
    const double graphTop = area.top + 6, graphBottom = area.top + area.height - 5;
    const auto Y = [&](double sigma) {
        return graphBottom - (sigma - floor) / std::max(sigmaCon - floor, 1e-9) * (graphBottom - graphTop);
    };

    paper.pen(0.15);
    paper.line(X(0), graphBottom, X(length), graphBottom);
    paper.line(X(0), graphTop, X(0), graphBottom);
    paper.line(X(length), graphTop, X(length), graphBottom);
    paper.font(7);
    paper.text(area.left, area.top - 1, area.width, "沿钢绞线的应力 σ（MPa，纵轴自 " + numeric::writeNumber(floor) + " 起）");

    const calc::StressAlong along = calc::stressAlong(stressed.pieces, t, 24);
    std::vector<std::vector<Point>> curves; // every line a label must keep clear of
    paper.pen(0.35);
    for (const auto &points : along.jack) {
        std::vector<Point> curve;
        for (const calc::StressPoint &point : points)
            curve.push_back({X(point.x), Y(point.sigma)});
        if (!curve.empty())
            paper.polyline(curves.emplace_back(std::move(curve)));
    }

    // After anchoring, dashed, each set zone's reach marked at the point
    // where the stress after anchoring meets the stress before it.
    std::vector<Point> seated;
    for (const calc::StressPoint &point : calc::anchoredAlong(stressed.pieces, anchored, 12))
        seated.push_back({X(point.x), Y(point.sigma)});
    paper.pen(0.3, Dash::dash);
    if (!seated.empty())
        paper.polyline(curves.emplace_back(std::move(seated)));
    const calc::Ends ends = stressed.stressing.ends;
    const bool two = ends == calc::Ends::both;
    if (two) {
        paper.pen(0.15, Dash::dash);
        paper.line(X(along.divide), graphTop, X(along.divide), graphBottom);
        curves.push_back({{X(along.divide), graphTop}, {X(along.divide), graphBottom}});
    }
    paper.font(6.5);
    paper.text(area.left + area.width - 60, area.top - 1, 60, "实线 张拉时　虚线 锚固后", Align::right);

    // Labels under the axis, side by side: the dividing point's, then any a
    // curve leaves no room for, moved along clear of those before.
    constexpr double labelHeight = 2.6, tick = 1.2;
    std::vector<std::pair<double, double>> underAxis;
    const auto belowAxis = [&](double x, const std::string &text) {
        const double width = textWidth(text, 6.5);
        double left = x - width / 2;
        for (bool moved = true; moved;) {
            moved = false;
            for (const auto &[from, to] : underAxis)
                if (left < to + 1 && left + width > from - 1) {
                    left = x < (from + to) / 2 ? from - 1 - width : to + 1;
                    moved = true;
                }
        }
        underAxis.emplace_back(left, left + width);
        paper.text(left, graphBottom + 0.4 + labelHeight / 2 - 3, width, text, Align::centre);
    };
    if (two)
        belowAxis(X(along.divide), "分界点 " + schedule::fixed(t.sigmaFar, 1));
    // A set zone's reach named above the curves there, or under them, where
    // its label clears every line; else under the axis.
    const auto named = [&](double x, double y, const std::string &text) {
        const double half = textWidth(text, 6.5) / 2 + 0.5;
        double high = y - tick, low = y + tick;
        for (const std::vector<Point> &curve : curves)
            for (std::size_t n = 0; n + 1 < curve.size(); ++n) {
                const Point &p = curve[n], &q = curve[n + 1];
                const double from = std::max(std::min(p.x, q.x), x - half), to = std::min(std::max(p.x, q.x), x + half);
                if (from > to)
                    continue;
                for (const double at : {from, to}) {
                    const double h0 = q.x == p.x ? std::min(p.y, q.y) : p.y + (q.y - p.y) * (at - p.x) / (q.x - p.x);
                    const double h1 = q.x == p.x ? std::max(p.y, q.y) : h0;
                    high = std::min(high, h0);
                    low = std::max(low, h1);
                }
            }
        if (high - 0.4 - labelHeight >= graphTop)
            paper.text(x - half, high - 0.4 - labelHeight / 2 - 3, 2 * half, text, Align::centre);
        else if (low + 0.4 + labelHeight <= graphBottom - 0.3)
            paper.text(x - half, low + 0.4 + labelHeight / 2 - 3, 2 * half, text, Align::centre);
        else
            belowAxis(x, text);
    };
    std::array<std::pair<double, double>, 2> reached{}; // each jacked end's reach, on the paper
    for (int end = 0; end < 2; ++end) {
        if (!calc::jackedAt(ends, end))
            continue;
        const double reach = std::min(anchored.lf[std::size_t(end)], anchored.length);
        const double at = end ? anchored.length - reach : reach;
        reached[std::size_t(end)] = {X(calc::horizontalAt(stressed.pieces, at)), Y(calc::stressAt(anchored.after, at))};
        paper.pen(0.15);
        paper.line(reached[std::size_t(end)].first, reached[std::size_t(end)].second - tick, reached[std::size_t(end)].first,
                   reached[std::size_t(end)].second + tick);
    }
    paper.font(6.5);
    if (anchored.reach[0] == calc::Anchoring::met) // both zones end where they meet: one label
        named(reached[0].first, reached[0].second, "lf=" + schedule::fixed(anchored.lf[0], 0) + " | " + schedule::fixed(anchored.lf[1], 0));
    else
        for (int end = 0; end < 2; ++end)
            if (calc::jackedAt(ends, end))
                named(reached[std::size_t(end)].first, reached[std::size_t(end)].second,
                      "lf=" + schedule::fixed(std::min(anchored.lf[std::size_t(end)], anchored.length), 0));
    // The stress left at each anchor and σcon at each jack; at a dead end
    // the stress friction leaves there. Two at one end stand apart.
    const double leftAfter = anchored.after.empty() ? sigmaCon : anchored.after.front().from();
    const double rightAfter = anchored.after.empty() ? sigmaCon : anchored.after.back().to();
    const auto atEnd = [&](bool right, const std::vector<double> &stresses) {
        double last = -INFINITY;
        for (const double sigma : stresses) {
            const double y = std::max(Y(sigma), last + labelHeight + 0.3);
            last = y;
            paper.text(right ? X(length) + 1 : X(0) - 15, y - 3, 14, schedule::fixed(sigma, 1), right ? Align::left : Align::right);
        }
    };
    atEnd(false, calc::jackedAt(ends, 0) ? std::vector<double>{sigmaCon, leftAfter} : std::vector<double>{t.sigmaFar});
    atEnd(true, calc::jackedAt(ends, 1) ? std::vector<double>{sigmaCon, rightAfter} : std::vector<double>{t.sigmaFar});
    return std::move(drawn.front());
}

namespace {

std::string number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", value);
    std::string s = text;
    while (s.back() == '0')
        s.pop_back();
    if (s.back() == '.')
        s.pop_back();
    return s == "-0" ? "0" : s;
}

std::string escaped(const std::string &text)
{
    std::string out;
    for (char c : text)
        out += c == '&' ? "&amp;" : c == '<' ? "&lt;" : c == '>' ? "&gt;" : c == '"' ? "&quot;" : std::string(1, c);
    return out;
}

std::string stroke(const Pen &pen)
{
    char colour[8];
    std::snprintf(colour, sizeof colour, "#%06x", unsigned(pen.colour & 0xFFFFFF));
    // Dashes in multiples of the pen's width, as a PDF painter draws them.
    const double w = pen.width;
    const std::string dashes = pen.dash == Dash::dash      ? number(4 * w) + " " + number(2 * w)
                               : pen.dash == Dash::dot     ? number(w) + " " + number(2 * w)
                               : pen.dash == Dash::dashDot ? number(4 * w) + " " + number(2 * w) + " " + number(w) + " " + number(2 * w)
                                                           : std::string();
    return " fill=\"none\" stroke=\"" + std::string(colour) + "\" stroke-width=\"" + number(w) + "\""
           + (dashes.empty() ? "" : " stroke-dasharray=\"" + dashes + "\"");
}

} // namespace

std::string svg(const Figure &figure)
{
    std::string out;
    for (const Item &item : figure.items) {
        if (const auto *line = std::get_if<Line>(&item)) {
            out += "<line x1=\"" + number(line->from.x) + "\" y1=\"" + number(line->from.y) + "\" x2=\"" + number(line->to.x)
                   + "\" y2=\"" + number(line->to.y) + "\"" + stroke(line->pen) + "/>";
        } else if (const auto *polyline = std::get_if<Polyline>(&item)) {
            out += "<polyline points=\"";
            for (const Point &p : polyline->points)
                out += number(p.x) + "," + number(p.y) + " ";
            out += "\"" + stroke(polyline->pen) + "/>";
        } else if (const auto *rect = std::get_if<Rect>(&item)) {
            out += "<rect x=\"" + number(rect->x) + "\" y=\"" + number(rect->y) + "\" width=\"" + number(rect->width)
                   + "\" height=\"" + number(rect->height) + "\"" + stroke(rect->pen) + "/>";
        } else if (const auto *code = std::get_if<Code>(&item)) {
            // One path of the dark runs along each row of modules.
            out += "<path fill=\"#000\" d=\"";
            forEachRun(*code, [&](double x, double y, double width) {
                out += "M" + number(x) + " " + number(y) + "h" + number(width) + "v" + number(code->module) + "h-"
                       + number(width) + "z";
            });
            out += "\"/>";
        } else if (const auto *circle = std::get_if<Circle>(&item)) {
            out += "<circle cx=\"" + number(circle->centre.x) + "\" cy=\"" + number(circle->centre.y) + "\" r=\""
                   + number(circle->radius) + "\"" + stroke(circle->pen) + "/>";
        } else if (const auto *text = std::get_if<Text>(&item)) {
            // The box's middle line; a point is 0.3528 mm.
            const double x = text->align == Align::left ? text->x : text->align == Align::centre ? text->x + text->width / 2 : text->x + text->width;
            const char *anchor = text->align == Align::left ? "start" : text->align == Align::centre ? "middle" : "end";
            out += "<text x=\"" + number(x) + "\" y=\"" + number(text->y + 3) + "\" font-size=\"" + number(text->points * 0.3528)
                   + "\" text-anchor=\"" + anchor + "\" dominant-baseline=\"central\"" + (text->bold ? " font-weight=\"bold\"" : "")
                   + ">" + escaped(text->text) + "</text>";
        }
    }
    return out;
}

} // namespace figure
