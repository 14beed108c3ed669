#include "diagrams/atlas.h"

#include "calc/geometry.h"
#include "calc/tendon.h"
#include "numeric/arithmetic.h"
#include "numeric/number_text.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

namespace diagrams {

Placement place(float iw, float ih, float bw, float bh)
{
    // Products and quotients in double, each result stored as single. An
    // empty picture (no width or height) fails with division by zero.
    float w = bw, h = bh;
    if (iw > ih)
        h = float(numeric::divide(numeric::multiply(ih, bw), iw));
    else
        w = float(numeric::divide(numeric::multiply(iw, bh), ih));
    return {(bw - w) / 2, (bh - h) / 2, w, h};
}

namespace {

// The profile as the program computes it, for a beam drawn from `left` to
// `left + lc` with its bottom face at `bottom`: the y of the tendon at x.
// The curves are the real profiles: the program's own coefficients and
// profile geometry for representative parameters, measured in pixels, so the
// vertical scale is exaggerated.
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

// The atlas's style over a painter's primitives: thin dimension lines with
// filled arrowheads, a heavier beam outline, a dash-dot tendon.
class Style {
public:
    explicit Style(Drafter &d) : d(d) {}

    // The tendon through y(x), one pixel at a time.
    void tendon(double x0, double x1, const std::function<double(double)> &y)
    {
        std::vector<Point> points{{x0, y(x0)}};
        for (double x = x0 + 1; x < x1; x += 1)
            points.push_back({x, y(x)});
        points.push_back({x1, y(x1)});
        d.tendon(points);
    }

    // A filled arrowhead with its tip at `tip`, pointing away from `from`.
    void arrowhead(Point from, Point tip, double length = 9, double half = 3)
    {
        const double dx = tip.x - from.x, dy = tip.y - from.y;
        const double n = std::hypot(dx, dy);
        const Point u{dx / n, dy / n}, v{-u.y, u.x};
        const Point head[]{tip,
                           {tip.x - u.x * length + v.x * half, tip.y - u.y * length + v.y * half},
                           {tip.x - u.x * length - v.x * half, tip.y - u.y * length - v.y * half}};
        d.fill(head);
    }

    // A horizontal dimension from x0 to x1 at height y: extension lines down
    // from the beam face at `from`, arrows at both ends, the text above.
    void dimension(double x0, double x1, double y, double from, std::string_view label)
    {
        d.line({x0, from + 4}, {x0, y + 6}, 0.8);
        d.line({x1, from + 4}, {x1, y + 6}, 0.8);
        d.line({x0, y}, {x1, y}, 1.0);
        arrowhead({x0 + 20, y}, {x0, y});
        arrowhead({x1 - 20, y}, {x1, y});
        d.text({x0, y - 24, x1 - x0, 22}, label, Place::bottom);
    }

    // A vertical offset such as e1, from a beam face to the tendon, with ticks
    // at both ends and the name beside it.
    void offset(double x, double face, double tendonY, std::string_view label, bool labelLeft)
    {
        d.line({x, face}, {x, tendonY}, 1.0);
        d.line({x - 5, face}, {x + 5, face}, 1.0);
        d.line({x - 5, tendonY}, {x + 5, tendonY}, 1.0);
        arrowhead({x, (face + tendonY) / 2}, {x, face}, 7, 2.5);
        arrowhead({x, (face + tendonY) / 2}, {x, tendonY}, 7, 2.5);
        const double w = d.textWidth(label) + 4;
        const Box box{labelLeft ? x - 8 - w : x + 8, (face + tendonY) / 2 - 11, w, 22};
        d.text(box, label, labelLeft ? Place::right : Place::left);
    }

    // A pointer: the label, a leader from it to the point, an arrowhead there.
    void pointer(std::string_view label, Point labelCentre, Point target)
    {
        const double w = d.textWidth(label);
        const Box box{labelCentre.x - w / 2 - 2, labelCentre.y - 11, w + 4, 22};
        d.text(box, label, Place::centre);
        const Point start{labelCentre.x, target.y < labelCentre.y ? box.top - 1 : box.top + box.height + 1};
        d.line(start, target, 1.0);
        arrowhead(start, target);
        d.dot(target, 3);
    }

    // A caption, underlined, with its notation lines centred below.
    void caption(double centre, double y, std::string_view title, std::initializer_list<std::string_view> lines)
    {
        d.setFont(21, true);
        const double w = d.textWidth(title);
        d.text({centre - w / 2 - 4, y, w + 8, 28}, title, Place::centre);
        d.line({centre - w / 2 - 6, y + 29}, {centre + w / 2 + 6, y + 29}, 1.4);
        d.setFont(18, false);
        double lineY = y + 36;
        for (std::string_view s : lines) {
            d.text({centre - 300, lineY, 600, 28}, s, Place::centre);
            lineY += 30;
        }
    }

    Drafter &d;
};

// C2a: e1 below the top face at the left end, falling to mid-height at
// mid-span, on down to e2 above the bottom face at the right end. Each
// parabola has its vertex at its end; with e1 = e2 they are tangent at the
// inflection point.
void drawC2a(Drafter &drafter)
{
    Style d(drafter);
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

    drafter.setFont(21, true);
    drafter.text({left, 14, span, 32}, "两段反向相切抛物线", Place::centre);

    drafter.beam({left, top, span, bottom - top});
    d.tendon(left, right, profile);

    drafter.setFont(17, false);
    d.offset(left + 16, top, startY, "e1", false);
    d.offset(right - 16, bottom, endY, "e2", true);
    d.pointer("反弯点", {left + half + 95, top + 30}, {left + half, midY});

    d.dimension(left, left + half, 262, bottom, "l/2");
    d.dimension(left, right, 304, bottom, "l");

    d.caption(left + half, 336, "基本线形C2a的缩略形式", {"(C2a, e1, e2)"});
}

// C4: e1 below the top face at the left end, down to e2 above the bottom face
// at the lowest point k2 x l, up to e3 below the top face at the right end;
// inflection points at k1 x l and l - k3 x l. The four parabolas are those the
// program computes, for k1 = 0.15, k2 = 0.45 and k3 = 0.15.
void drawC4(Drafter &drafter)
{
    Style d(drafter);
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
    drafter.setFont(16, false);
    const double bounds[] = {0, xi1, xLow, xi2, l};
    for (int i = 0; i < 4; ++i) {
        const double x0 = left + bounds[i], x1 = left + bounds[i + 1];
        drafter.line({x0, 46}, {x0, 66}, 0.8);
        drafter.line({x1, 46}, {x1, 66}, 0.8);
        drafter.line({x0, 58}, {x1, 58}, 0.8);
        const std::string name = "抛物线段" + std::to_string(i + 1);
        const double w = drafter.textWidth(name);
        drafter.text({(x0 + x1) / 2 - w / 2 - 2, 24, w + 4, 24}, name, Place::centre);
    }

    drafter.beam({left, top, l, bottom - top});
    d.tendon(left, right, profile);

    drafter.setFont(16, false);
    d.offset(left + 14, top, startY, "e1", false);
    d.offset(left + xLow + 34, bottom, lowY, "e2", false);
    d.offset(right - 14, top, endY, "e3", true);

    d.pointer("左反弯点", {left + xi1 + 78, top + 30}, {left + xi1, profile(left + xi1)});
    d.pointer("最低点", {left + xLow, top + 30}, {left + xLow, lowY});
    d.pointer("右反弯点", {left + xi2 - 80, top + 30}, {left + xi2, profile(left + xi2)});

    drafter.setFont(16, false);
    d.dimension(left, left + xi1, 258, bottom, "k1×l");
    d.dimension(left + xi2, right, 258, bottom, "k3×l");
    d.dimension(left, left + xLow, 288, bottom, "k2×l");
    d.dimension(left, right, 318, bottom, "l");

    d.caption(left + l / 2, 336, "基本线形C4及其缩略形式",
              {"基本表达: (C4, e1, e2, e3, k1, k2, k3)", "缩略表达: (e1, e2, e3)"});
}

} // namespace

Size atlasSize(int resource)
{
    if (resource == c2a)
        return {797, 433};
    if (resource == c4)
        return {798, 474};
    return {0, 0};
}

void drawAtlas(int resource, Drafter &drafter)
{
    if (resource == c2a)
        drawC2a(drafter);
    else if (resource == c4)
        drawC4(drafter);
}

} // namespace diagrams
