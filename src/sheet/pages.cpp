#include "sheet/pages.h"

#include "sheet/text.h"

#include "calc/anchoring.h"
#include "calc/continuous.h"
#include "calc/messages.h"
#include "numeric/number_text.h"
#include "schedule/notes.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <string_view>

namespace figure {

using namespace sheetText;

void Sheet::add(const schedule::TendonRows &tendon)
{
    materials_.add(tendon.head());
    for (std::size_t n = 0; n < tendon.rows.size(); ++n)
        addSpan(*tendon.rows[n], tendon.records.empty() ? nullptr : &tendon.records[n]);
    // A tendon through several spans gets a page of its own after them.
    if (tendon.rows.size() > 1)
        addTendon(tendon);
}

// What the tendons take from the store, as the workbook's 材料表 totals it.
void Sheet::finish()
{
    const schedule::Materials &m = materials_;
    if (m.tendons == 0 && m.leftOut == 0)
        return;
    pages.emplace_back();
    Paper paper(pages);
    paper.font(15, true);
    paper.text(margin, margin, 180, "材料表  预应力钢绞线、锚具与孔道");
    paper.font(8);
    paper.text(margin, margin + 8, 180, fmt("共 %1 束%2　quillmere-schedule %3 (Quillmere)",
                                            {std::to_string(m.tendons),
                                             m.leftOut ? fmt("（未算出的 %1 束未计入）", {std::to_string(m.leftOut)}) : "",
                                             schedule::versionText()}));
    paper.pen(0.3);
    paper.line(margin, margin + 15, pageWidth - margin, margin + 15);
    double y = margin + 20;
    for (const schedule::BillTable &table : schedule::billTables(m)) {
        paper.font(9, true);
        paper.text(margin, y, 180, std::string(table.title));
        y += 6;
        paper.font(8);
        for (std::size_t n = 0; n < table.headings.size(); ++n)
            paper.text(margin + 4 + 40 * double(n), y, 36, std::string(table.headings[n]), Align::right);
        paper.pen(0.15);
        paper.line(margin + 4, y + 5.5, margin + 4 + 40 * double(table.headings.size()), y + 5.5);
        y += 6.5;
        for (const auto &cells : table.rows) {
            if (y + 5 > pageHeight - margin) { // a schedule of many kinds of tendon goes on overleaf
                paper.newPage();
                y = margin;
            }
            for (std::size_t n = 0; n < cells.size(); ++n)
                paper.text(margin + 4 + 40 * double(n), y, 36, cells[n], Align::right);
            y += 5;
        }
        y += 5;
    }
    if (y + 10 > pageHeight - margin) {
        paper.newPage();
        y = margin;
    }
    paper.paragraph(margin, y, 180, std::string(schedule::billBasis), 5);
}

// The code of a stressed tendon's link, where the sheet has the address,
// an encoder and every row of the tendon as given.
Sheet::SiteCode Sheet::siteCode(const schedule::Result &head, std::span<const schedule::Record> rows) const
{
    if (siteUrl_.empty() || !encode_ || rows.empty() || !head.stressed)
        return {};
    return {head.cells[schedule::output::tendon], encode_(schedule::siteLink(siteUrl_, rows, head.stressed->stressing))};
}

void Sheet::addSpan(const schedule::Result &result, const schedule::Record *record)
{
    pages.emplace_back();
    Paper paper(pages);
    double y = title(paper, result);
    const auto &c = result.cells;
    if (!result.ok() || !result.tendon) {
        paper.font(10, true);
        paper.text(margin, y, 180, fmt("计算未完成 (%1)", {c[schedule::output::status]}));
        paper.font(9);
        paper.paragraph(margin, y + 8, 180, c[schedule::output::message] + "\n请按上述说明改正钢绞线表中的该行后重新计算。", 5);
        return;
    }
    const calc::Tendon &t = *result.tendon;
    const calc::ProfileGeometry g = calc::geometryOf(t);
    const calc::HeldParameters held = calc::readParameters(t.parameters);
    y = body(paper, y, result, t, g);
    paper.draw(profile({margin, y, calc::sheetDrawingWidth, calc::sheetProfileHeight}, g, held));
    y += 64;
    // The stress is drawn under the profile it runs along: a tendon
    // through further spans gives its figures in the tensioning block.
    if (result.stressed && !throughSpans(result)) {
        paper.draw(stress({margin, y, calc::sheetDrawingWidth, calc::sheetStressHeight}, g.span(), *result.stressed));
        y += 29;
    }
    y = checks(paper, y, t, g, held);
    const auto retitle = [&] { return title(paper, result); };
    if (result.stressed && !throughSpans(result)) { // a continuous tendon's on its own page
        const SiteCode code = siteCode(result, record ? std::span(record, 1) : std::span<const schedule::Record>());
        y = tensioning(paper, room(paper, y, tensioningHeight(result, !code.mark.empty()), retitle), result, code);
    }
    std::vector<std::pair<double, double>> points;
    for (const calc::ProfileGeometry::Height &h : g.settingOut(step_))
        points.emplace_back(h.x, h.height);
    settingOut(paper, room(paper, y + 2, 40, retitle), points, retitle);
}

// The page of a tendon through several spans: its spans, all of them drawn
// end to end to one scale with the supports, the stress along the whole
// strand, the depths where spans meet, its tensioning and the setting-out
// heights across its spans.
void Sheet::addTendon(const schedule::TendonRows &tendon)
{
    const schedule::Result &head = tendon.head();
    const auto &c = head.cells;
    namespace out = schedule::output;
    pages.emplace_back();
    Paper paper(pages);
    const auto retitle = [&] {
        paper.font(15, true);
        paper.text(margin, margin, 180, fmt("束 %1  预应力钢绞线计算书（连续 %2 跨）", {c[out::tendon], std::to_string(tendon.rows.size())}));
        paper.pen(0.3);
        paper.line(margin, margin + 14, pageWidth - margin, margin + 14);
        return margin + 17.0;
    };
    double y = retitle();
    paper.font(8);
    const bool whole = head.stressed.has_value();
    std::vector<const calc::Tendon *> spans;
    std::vector<std::string> names;
    for (std::size_t n = 0; n < tendon.rows.size(); ++n) {
        const schedule::Result &row = *tendon.rows[n];
        const auto &r = row.cells;
        paper.text(margin + 4, y, 176, fmt("第 %1 跨  %2  线型 %3  lc = %4 mm  钢绞线长 %5 mm  %6",
                                           {std::to_string(n + 1), r[out::name], r[out::profile], r[out::lc], r[out::length],
                                            r[out::status]}));
        y += 4.5;
        if (row.tendon && row.ok()) {
            spans.push_back(&*row.tendon);
            names.push_back(r[out::name]);
        }
    }
    paper.font(9, true);
    paper.text(margin, y + 1, 180,
               whole ? fmt("全束钢绞线长 %1 mm × %2 = %3 mm",
                           {c[out::tendonLength], c[out::count], std::to_string(std::stol(c[out::tendonLength]) * std::stol(c[out::count]))})
                     : fmt("束未算出：%1", {c[out::note]}));
    y += 8;
    if (!whole)
        return;
    const calc::ContinuousTendon joined = calc::continuousTendon(spans);
    const std::vector<double> &starts = joined.starts;
    paper.draw(figure::spans({margin, y, calc::sheetDrawingWidth, calc::sheetProfileHeight}, spans, starts, names));
    y += 64;
    paper.draw(stress({margin, y, calc::sheetDrawingWidth, calc::sheetStressHeight}, starts.back(), *head.stressed));
    y += 31;
    paper.font(9, true);
    paper.text(margin, y, 180, "支座处孔道（梁顶以下）");
    paper.font(8);
    y += 6;
    for (const calc::Support &support : joined.supports) {
        paper.text(margin + 4, y, 176, fmt("%1 第 %2、%3 跨之间：%4 mm 与 %5 mm%6",
                                           {support.stepped() ? "✗" : "✓", std::to_string(support.left + 1),
                                            std::to_string(support.left + 2), mm(support.leftBelowTop),
                                            mm(support.rightBelowTop), support.stepped() ? "，孔道错台" : ""}));
        y += 4.5;
    }
    const SiteCode code = siteCode(head, tendon.records);
    y = tensioning(paper, room(paper, y + 3, tensioningHeight(head, !code.mark.empty()), retitle), head, code);
    // Across the spans, x from the tendon's left end; where spans meet,
    // each span's end is given.
    std::vector<std::pair<double, double>> points;
    for (std::size_t n = 0; n < spans.size(); ++n) {
        const calc::ProfileGeometry g = calc::geometryOf(*spans[n]);
        for (const calc::ProfileGeometry::Height &h : g.settingOut(step_))
            points.emplace_back(starts[n] + h.x, h.height);
    }
    settingOut(paper, room(paper, y + 2, 40, retitle), points, retitle);
}

double Sheet::title(Paper &paper, const schedule::Result &result)
{
    const auto &c = result.cells;
    paper.font(15, true);
    paper.text(margin, margin, 180, c[schedule::output::name] + "  预应力钢绞线计算书");
    paper.font(8);
    paper.text(margin, margin + 8, 180,
               fmt("线型 %1　根数 %2　quillmere-schedule %3 (Quillmere)",
                   {c[schedule::output::profile], c[schedule::output::count], schedule::versionText()}));
    paper.pen(0.3);
    paper.line(margin, margin + 15, pageWidth - margin, margin + 15);
    return margin + 18;
}

double Sheet::body(Paper &paper, double y, const schedule::Result &result, const calc::Tendon &t,
                   const calc::ProfileGeometry &g)
{
    paper.font(9, true);
    paper.text(margin, y, 180, "参数");
    std::string shown;
    for (int p : calc::askedParameters(t.profile)) {
        const bool ratio = p >= calc::parameter::k1 && p <= calc::parameter::k3;
        shown += (shown.empty() ? "" : "　")
                 + fmt("%1 = %2%3", {calc::parameterName(p), t.parameters[std::size_t(p)], ratio ? "" : " mm"});
    }
    if (t.profile == calc::Profile::c2a)
        shown += "　k2 = 0.5";
    paper.font(8.5);
    paper.text(margin + 14, y, 166, shown);
    y += 8;
    paper.font(9, true);
    paper.text(margin, y, 180, "抛物线方程、分段与长度");
    y += 6;
    paper.font(8);
    const char *headings[]{"段", "方程", "x (mm)", "p (mm)", "L (mm)"};
    const double columns[]{margin, margin + 10, margin + 88, margin + 118, margin + 150};
    for (int i = 0; i < 5; ++i)
        paper.text(columns[i], y, 30, headings[i]);
    paper.pen(0.15);
    paper.line(margin, y + 6, pageWidth - margin, y + 6);
    y += 6.5;
    for (int s = 0; s < g.segmentCount(); ++s) {
        const calc::Segment &segment = t.length.segments[std::size_t(s)];
        paper.text(columns[0], y, 10, std::to_string(s + 1));
        paper.text(columns[1], y, 78, fmt("y = %1 · x²", {t.coefficients.text[std::size_t(s)]}));
        paper.text(columns[2], y, 30, numeric::writeNumber(segment.x));
        paper.text(columns[3], y, 30, fixed(segment.p, 1));
        paper.text(columns[4], y, 30, std::to_string(segment.millimetres));
        y += 5;
    }
    paper.font(9, true);
    const auto &c = result.cells;
    paper.text(margin, y + 1, 180,
               fmt("钢绞线长 %1 mm × %2 = %3 mm",
                   {c[schedule::output::length], c[schedule::output::count], c[schedule::output::total]}));
    return y + 9;
}

// Where the next block, `needed` mm tall, goes: here, or on a new page under
// `retitle`'s title.
template <typename Retitle>
double Sheet::room(Paper &paper, double y, double needed, Retitle retitle)
{
    if (y + needed <= pageHeight - margin)
        return y;
    paper.newPage();
    return retitle();
}

// What a checker verifies, stated with its numbers.
double Sheet::checks(Paper &paper, double y, const calc::Tendon &t, const calc::ProfileGeometry &g,
                     const calc::HeldParameters &held)
{
    std::vector<std::string> lines;
    const auto ends = [&](const char *where, double height, const char *rule) {
        lines.push_back(fmt("✓ %1高度 %2 mm = %3", {where, mm(height), rule}));
    };
    ends("左端", g.height(1, 0), "lg1 − e1");
    if (t.profile == calc::Profile::c4) {
        ends("最低点", g.height(3, held.k2 * g.span()), "e2");
        ends("右端", g.height(4, g.span()), "lg1 − e3");
    } else {
        ends("右端", g.height(2, g.span()), "e2");
    }
    const auto slope = [](double value) { return fixed(value, 5); };
    for (const calc::Joint &joint : g.joints()) {
        const std::string at = fmt("x = %1 mm", {mm(joint.x)});
        const double step = g.stepAt(joint);
        if (const std::string note = schedule::midSpanStepNote(g); step != 0 && !note.empty())
            lines.push_back(fmt("⚠ %1（%2 与 %3 mm）", {note.substr(0, note.find(" (")), mm(joint.leftHeight), mm(joint.rightHeight)}));
        else if (step != 0)
            lines.push_back(fmt("⚠ %1处两段抛物线高度相差 %2 mm（%3 与 %4 mm）",
                                {at, mm(step), mm(joint.leftHeight), mm(joint.rightHeight)}));
        else if (std::abs(joint.rightSlope - joint.leftSlope) > 1e-6)
            lines.push_back(fmt("⚠ %1处两段抛物线高度相同（%2 mm），斜率不同（%3 与 %4）",
                                {at, mm(joint.leftHeight), slope(joint.leftSlope), slope(joint.rightSlope)}));
        else
            lines.push_back(fmt("✓ %1处两段抛物线同高（%2 mm）同斜率（%3）", {at, mm(joint.leftHeight), slope(joint.leftSlope)}));
    }
    double lowest = g.height(0.0), highest = lowest;
    for (int i = 0; i <= 1000; ++i) {
        const double h = g.height(g.span() * i / 1000);
        lowest = std::min(lowest, h);
        highest = std::max(highest, h);
    }
    if (lowest < 0 || highest > g.depth())
        lines.push_back(fmt("⚠ 钢绞线超出梁外：最低 %1 mm，最高 %2 mm，梁高 %3 mm", {mm(lowest), mm(highest), mm(g.depth())}));
    for (int s = 1; s <= g.segmentCount(); ++s)
        if (g.coefficient(s) < 0)
            lines.push_back(fmt("⚠ a%1 为负：抛物线段%1 弯向相反", {std::to_string(s)}));
    paper.font(9, true);
    paper.text(margin, y, 180, "校核");
    paper.font(8);
    for (const std::string &line : lines) {
        y += 5;
        paper.text(margin + 4, y, 176, line);
    }
    return y + 7;
}

// The heights the site sets the duct supports to, in four columns of x and
// height, going on to new pages under `retitle`'s title.
template <typename Retitle>
void Sheet::settingOut(Paper &paper, double y, const std::vector<std::pair<double, double>> &points, Retitle retitle)
{
    std::size_t next = 0;
    while (next < points.size()) {
        paper.font(9, true);
        paper.text(margin, y, 180, std::string("预应力筋曲线坐标（钢绞线中心距梁底，mm）") + (next ? "（续）" : ""));
        y += 7;
        const int rows = std::max(1, int((pageHeight - margin - y) / 4.5) - 1);
        paper.font(7.5);
        for (int group = 0; group < 4 && next < points.size(); ++group) {
            const double x = margin + group * 45;
            paper.text(x, y, 20, "x", Align::right);
            paper.text(x + 20, y, 20, "高度", Align::right);
            for (int row = 1; row <= rows && next < points.size(); ++row, ++next) {
                paper.text(x, y + row * 4.5, 20, mm(points[next].first), Align::right);
                paper.text(x + 20, y + row * 4.5, 20, mm(points[next].second), Align::right);
            }
        }
        if (next < points.size()) {
            paper.newPage();
            y = retitle();
        }
    }
}

} // namespace figure
