// The sheet's figures of the tendon a row belongs to: its drawing as SVG
// and its key points.

#include "page.h"
#include "values.h"

#include "calc/continuous.h"
#include "calc/geometry.h"
#include "sheet/figure.h"

#include <string>
#include <vector>

namespace page {

// The tendon of row n, as the live schedule places it; none for a row past
// the schedule's end.
std::optional<schedule::Schedule::Place> tendonOf(int row)
{
    return row < 0 ? std::nullopt : live.tendonOf(std::size_t(row));
}

// The tendon a row belongs to as its calculation sheet draws it, as SVG:
// its profile (its spans end to end, where it runs through several) and under
// it the stress along it, from the very figures the sheet's PDF is painted
// from. "" for a row with no profile.
std::string figures(int row)
{
    const auto rows = tendonOf(row);
    if (!rows)
        return {};
    const auto [first, last, whole] = *rows;
    const schedule::Result &head = *live.row(first);
    constexpr double profileTop = 0, stressTop = 64;
    figure::Figure drawn;
    double length = 0;
    if (last - first == 1) {
        const calc::ProfileGeometry g = calc::geometryOf(*head.tendon);
        drawn = figure::profile({0, profileTop, calc::sheetDrawingWidth, calc::sheetProfileHeight}, g,
                                calc::readParameters(head.tendon->parameters));
        length = g.span();
    } else {
        std::vector<const calc::Tendon *> spans;
        std::vector<std::string> names;
        for (std::size_t n = first; n < last; ++n) {
            spans.push_back(&*live.row(n)->tendon);
            names.push_back(live.row(n)->cells[schedule::output::name]);
        }
        const std::vector<double> starts = calc::continuousTendon(spans).starts;
        drawn = figure::spans({0, profileTop, calc::sheetDrawingWidth, calc::sheetProfileHeight}, spans, starts, names);
        length = starts.back();
    }
    // A span of a longer tendon that failed has no stress of its own to draw.
    const bool stressed = head.stressed && head.stressed->pieces.back().to <= length + 0.5;
    if (stressed) {
        const figure::Figure stress = figure::stress({0, stressTop, calc::sheetDrawingWidth, calc::sheetStressHeight}, length, *head.stressed);
        drawn.items.insert(drawn.items.end(), stress.items.begin(), stress.items.end());
    }
    const double height = stressed ? stressTop + calc::sheetStressHeight + 2 : calc::sheetProfileHeight + 2;
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 -3 " + numeric::writeNumber(calc::sheetDrawingWidth) + " "
           + numeric::writeNumber(height + 3) + "\" class=\"drawing\" role=\"img\">" + figure::svg(drawn) + "</svg>";
}

// The key points of the tendon a row belongs to, span by span: each span's
// name, and each point's name with its x from the tendon's left end and its
// height above the beam's bottom face (whole mm, as the sheet gives them).
// A tendon with a span that failed lists the row's own span alone; {} for a
// row with no profile.
emscripten::val keyPoints(int row)
{
    const auto rows = tendonOf(row);
    if (!rows)
        return emscripten::val::object();
    const auto [first, last, whole] = *rows;
    Value json;
    json.open('{').key("spans").open('[');
    for (std::size_t n = first; n < last; ++n) {
        const calc::ProfileGeometry g = calc::geometryOf(*live.row(n)->tendon);
        const double start = whole ? live.row(n)->start : 0;
        json.open('{').key("name").text(live.row(n)->cells[schedule::output::name]).key("points").open('[');
        for (const calc::KeyPoint &point : g.keyPoints())
            for (const calc::ProfileGeometry::Height &h : g.heightsAt(point.x)) {
                const std::string side = h.side < 0 ? "（左段）" : h.side > 0 ? "（右段）" : "";
                json.open('{').key("name").text(std::string(calc::pointName(point.kind)) + side)
                    .key("shownX").number(double(calc::wholeMillimetres(start + point.x)))
                    .key("shownHeight").number(double(calc::wholeMillimetres(h.height))).close('}');
            }
        json.close(']').close('}');
    }
    return json.close(']').close('}').done();
}

} // namespace page
