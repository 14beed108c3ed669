#include "sheet/pages.h"

#include "calc/anchoring.h"
#include "calc/continuous.h"
#include "calc/messages.h"
#include "numeric/number_text.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <string_view>

namespace figure {

namespace {

constexpr double margin = pageMargin;

// A pattern with %1 to %9 replaced by the texts given.
std::string fmt(std::string_view pattern, std::initializer_list<std::string_view> texts)
{
    std::string out;
    for (std::size_t at = 0; at < pattern.size(); ++at) {
        const char next = at + 1 < pattern.size() ? pattern[at + 1] : '\0';
        if (pattern[at] == '%' && next >= '1' && next <= '9' && std::size_t(next - '1') < texts.size()) {
            out += *(texts.begin() + (next - '1'));
            ++at;
        } else {
            out += pattern[at];
        }
    }
    return out;
}

std::string fixed(double value, int decimals) { return schedule::fixed(value, decimals); }

std::vector<std::string> split(const std::string &text, std::string_view separator)
{
    std::vector<std::string> parts;
    for (std::size_t from = 0; from <= text.size();) {
        std::size_t end = text.find(separator, from);
        if (end == std::string::npos)
            end = text.size();
        if (end > from)
            parts.push_back(text.substr(from, end - from));
        from = end + separator.size();
    }
    return parts;
}

// Whether the row's stressing runs along further spans than its own: the
// first row of a continuous tendon.
bool throughSpans(const schedule::Result &result)
{
    return result.stressed->pieces.back().to > calc::geometryOf(*result.tendon).span() + 0.5;
}

// Which case of anchoring held at which end, in words.
std::string anchoringCases(const schedule::Stressed &stressed)
{
    const schedule::Stressing &s = stressed.stressing;
    const calc::Anchoring &a = stressed.anchoring;
    const bool two = s.ends == calc::Ends::both;
    const char *ends[]{"左端", "右端"};
    std::string cases;
    for (int end = 0; end < 2; ++end) {
        if (!calc::jackedAt(s.ends, end))
            continue;
        const std::string here = ends[end], other = ends[1 - end];
        std::string said;
        switch (a.reach[std::size_t(end)]) {
        case calc::Anchoring::within:
            said = two ? here + "回缩区止于本端一侧" : "lf 未超过束长";
            break;
        case calc::Anchoring::wholeLength:
            said = two ? "后锁的" + here + "回缩区到达已锁定的" + other + "锚具：全长回缩，应力保持反向摩擦形状整体降低，" + other + "锚下应力亦降低"
                       : "lf 超过束长：全长回缩，锚固后应力保持反向摩擦的形状整体降低";
            break;
        case calc::Anchoring::met:
            said = end ? "" : fmt("两回缩区在距左端 %1 mm（沿钢绞线）处相遇：该点不动，两侧各自回缩 a，两侧锚固后应力在该点相等", {fixed(a.meeting, 0)});
            break;
        case calc::Anchoring::slidThrough:
            said = "先锁的" + here + "回缩区越过分界点：钢绞线滑向持荷的" + other + "千斤顶，应力成为" + other + "单端张拉时的分布，" + here
                   + "锚下 σcon·e^−Z";
            break;
        }
        if (!said.empty())
            cases += (cases.empty() ? "" : "；") + said;
    }
    return cases;
}

constexpr double anchoringLines = 5, stageHeading = 6, stageRow = 4.3;

double anchoringHeight(const schedule::Result &result)
{
    const schedule::Stressing &s = result.stressed->stressing;
    return 5 * (anchoringLines - 1 + (s.ends == calc::Ends::both ? 1 : 0) + double(wrapped(anchoringCases(*result.stressed), 176, 8).size()))
           + 1 + stageHeading
           + 3 * calc::jackedEnds(s.ends) * stageRow + (s.gaugeAt(0) ? 5 : 0) + (s.jack > 0 ? 5 : 0) + 1.5;
}

constexpr double codeSide = 27; // mm: a code a phone reads from the folder at arm's length
constexpr double codeBlock = codeSide + 4;

// The height of the tensioning block, as tensioning() lays it out.
double tensioningHeight(const schedule::Result &result, bool code)
{
    const auto &c = result.cells;
    double notes = 0;
    for (const std::string &note : split(c[schedule::output::note], "；"))
        notes += double(wrapped("⚠ " + note, 176, 8).size());
    return 34.5 + (throughSpans(result) ? 5 : 0) + double(result.stressed->tensioning.pieces.size()) * 4.3 + 1.5
           + 5.0 * (calc::jackedEnds(result.stressed->stressing.ends) + 2 + (c[schedule::output::cutLength].empty() ? 0 : 1) + notes) + 2
           + anchoringHeight(result) + (code ? codeBlock : 0);
}

} // namespace

void Sheet::add(const schedule::Result &result, const schedule::Record *record)
{
    materials_.add(result);
    addSpan(result, record);
    // A tendon through several spans gets a page of its own after them.
    if (result.spans > 1) {
        tendon_.clear();
        records_.clear();
    }
    if (result.spans != 1 && (result.spans > 1 || !tendon_.empty())) {
        tendon_.push_back(result);
        if (record)
            records_.push_back(*record);
        if (tendon_.size() == std::size_t(tendon_.front().spans))
            addTendon();
    }
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
    const auto table = [&](const char *title, std::initializer_list<const char *> headings,
                           const std::vector<std::vector<std::string>> &rows) {
        paper.font(9, true);
        paper.text(margin, y, 180, title);
        y += 6;
        paper.font(8);
        int column = 0;
        for (const char *heading : headings)
            paper.text(margin + 4 + 40 * column++, y, 36, heading, Align::right);
        paper.pen(0.15);
        paper.line(margin + 4, y + 5.5, margin + 4 + 40 * double(headings.size()), y + 5.5);
        y += 6.5;
        for (const auto &cells : rows) {
            if (y + 5 > pageHeight - margin) { // a schedule of many kinds of tendon goes on overleaf
                paper.newPage();
                y = margin;
            }
            for (std::size_t n = 0; n < cells.size(); ++n)
                paper.text(margin + 4 + 40 * double(n), y, 36, cells[n], Align::right);
            y += 5;
        }
        y += 5;
    };
    std::vector<std::vector<std::string>> strand, anchors, duct;
    for (const auto &[diameter, bought] : m.strand)
        strand.push_back({std::string(bought.size), numeric::writeNumber(bought.metres), fixed(bought.kilograms / 1000, 3)});
    for (const auto &[holes, count] : m.anchors)
        anchors.push_back({std::to_string(holes), std::to_string(count.first), std::to_string(count.second)});
    for (const auto &[strands, metres] : m.duct)
        duct.push_back({std::to_string(strands), numeric::writeNumber(metres)});
    table("钢绞线（1×7，GB/T 5224）", {"公称直径 (mm)", "长度 (m)", "重量 (t)"}, strand);
    table("锚具", {"孔数", "张拉端 (套)", "固定端 (套)"}, anchors);
    table("孔道", {"每孔钢绞线根数", "长度 (m)"}, duct);
    if (y + 10 > pageHeight - margin) {
        paper.newPage();
        y = margin;
    }
    paper.paragraph(margin, y, 180,
                    "钢绞线长度 = 下料长度（未给预留长度时为钢绞线长）× 每束根数 × 根数，重量按 GB/T 5224 的每米理论重量；"
                    "锚具按每束张拉端与固定端各一套；孔道长度按钢绞线长 × 根数，未计伸出构件的部分。",
                    5);
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
void Sheet::addTendon()
{
    const schedule::Result &head = tendon_.front();
    const auto &c = head.cells;
    namespace out = schedule::output;
    pages.emplace_back();
    Paper paper(pages);
    const auto retitle = [&] {
        paper.font(15, true);
        paper.text(margin, margin, 180, fmt("束 %1  预应力钢绞线计算书（连续 %2 跨）", {c[out::tendon], std::to_string(tendon_.size())}));
        paper.pen(0.3);
        paper.line(margin, margin + 14, pageWidth - margin, margin + 14);
        return margin + 17.0;
    };
    double y = retitle();
    paper.font(8);
    const bool whole = head.stressed.has_value();
    std::vector<const calc::Tendon *> spans;
    std::vector<std::string> names;
    for (std::size_t n = 0; n < tendon_.size(); ++n) {
        const auto &r = tendon_[n].cells;
        paper.text(margin + 4, y, 176, fmt("第 %1 跨  %2  线型 %3  lc = %4 mm  钢绞线长 %5 mm  %6",
                                           {std::to_string(n + 1), r[out::name], r[out::profile], r[out::lc], r[out::length],
                                            r[out::status]}));
        y += 4.5;
        if (tendon_[n].tendon && tendon_[n].ok()) {
            spans.push_back(&*tendon_[n].tendon);
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
    const SiteCode code = siteCode(head, records_.size() == tendon_.size() ? std::span(records_) : std::span<const schedule::Record>());
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

// How the tendon is stressed, piece by piece, and what each jack gives.
double Sheet::tensioning(Paper &paper, double y, const schedule::Result &result, const SiteCode &code)
{
    namespace out = schedule::output;
    const auto &c = result.cells;
    const schedule::Stressed &stressed = *result.stressed;
    const schedule::Stressing &s = stressed.stressing;
    const bool own = s.kappa || s.mu;
    const bool two = s.ends == calc::Ends::both;
    paper.font(9, true);
    paper.text(margin, y, 180,
               two ? "张拉（摩擦损失按 GB 50010 第 10.2.4 条；伸长值按两端之和校核，允许偏差 ±6%，GB 50666）"
                   : "张拉（摩擦损失按 GB 50010 第 10.2.4 条；伸长值允许偏差 ±6%，GB 50666）");
    paper.font(8);
    y += 6;
    if (throughSpans(result)) {
        paper.text(margin + 4, y, 176, fmt("全束钢绞线长 %1 mm，各段自束的左端起依次编号", {c[out::tendonLength]}));
        y += 5;
    }
    const char *jacking = two ? "两端张拉" : s.ends == calc::Ends::left ? "左端张拉，右端锚固" : "右端张拉，左端锚固";
    paper.text(margin + 4, y, 176,
               fmt("σcon = %1 MPa　%2 κ = %3，μ = %4%5　%6　每束 %7 根 φs%8 × %9 mm²",
                   {c[out::sigmaCon], s.duct->chinese, c[out::kappa], c[out::mu], own ? "（按该行给定）" : "", jacking,
                    std::to_string(s.strands), s.size->name, numeric::writeNumber(s.area)})
                   + fmt("　Ep = %1 MPa", {numeric::writeNumber(s.ep)}));
    y += 5;
    y += 5 * paper.paragraph(margin + 4, y, 176,
                             fmt("每段 z = κ·L/1000 + μ·θ，σout = σin·e^−z，伸长 ΔL = σin·(1 − e^−z)/z · L/Ep；θ = |atan(2·a·x)|%1",
                                 {two ? "；两端于摩擦各半处分界" : ""}),
                             5) + 1;
    const char *headings[]{"张拉端", "段", "L (mm)", "θ (rad)", "z", "σin (MPa)", "σout (MPa)", "ΔL (mm)"};
    const double columns[]{margin + 4, margin + 24, margin + 44, margin + 66, margin + 88, margin + 108,
                           margin + 132, margin + 156};
    paper.font(7.5);
    for (int i = 0; i < 8; ++i)
        paper.text(columns[i], y, 22, headings[i], i > 1 ? Align::right : Align::left);
    paper.pen(0.15);
    paper.line(margin + 4, y + 5.5, pageWidth - margin, y + 5.5);
    y += 5.5;
    const bool kinked = result.tendon->profile == calc::Profile::c2a; // piece 1 is the kink at mid-span
    for (const calc::PieceStress &piece : stressed.tensioning.pieces) {
        const bool right = piece.jack == calc::PieceStress::right;
        const std::size_t at = piece.piece;
        std::string name = kinked && at == 1 ? "跨中折角" : std::to_string(kinked && at == 2 ? 2 : int(at) + 1);
        if (std::abs(piece.length - stressed.pieces[at].length) > 1e-9
            || std::abs(piece.theta - stressed.pieces[at].theta) > 1e-12)
            name += "（至分界点）";
        const std::string cells[]{right ? "右端" : "左端", name, fixed(piece.length, 0), fixed(piece.theta, 4),
                                  fixed(piece.z, 4), fixed(piece.sigmaIn, 1), fixed(piece.sigmaOut, 1),
                                  fixed(piece.elongation, 1)};
        for (int i = 0; i < 8; ++i)
            paper.text(columns[i], y, 22, cells[i], i > 1 ? Align::right : Align::left);
        y += 4.3;
    }
    y += 1.5;
    paper.font(8);
    const std::string inJack = s.jack > 0 ? fmt("（含千斤顶内 %1 mm 钢绞线）", {numeric::writeNumber(s.jack)}) : "";
    const auto jack = [&](const char *end, int column) {
        const std::string &e = c[std::size_t(column)];
        const std::string low = schedule::elongationLimit(e, -schedule::elongationTolerance),
                          high = schedule::elongationLimit(e, schedule::elongationTolerance);
        paper.text(margin + 4, y, 176,
                   two ? fmt("%1：计算伸长值 %2 mm%3（本端 %4～%5 mm，仅供参考）；张拉力 %6 kN", {end, e, inJack, low, high, c[out::force]})
                       : fmt("%1：计算伸长值 %2 mm%3，实测应在 %4～%5 mm 之间；张拉力 %6 kN", {end, e, inJack, low, high, c[out::force]}));
        y += 5;
    };
    if (calc::jackedAt(s.ends, 0))
        jack("左端", out::elongLeft);
    if (calc::jackedAt(s.ends, 1))
        jack("右端", out::elongRight);
    paper.text(margin + 4, y, 176,
               fmt("θ 合计 %1 rad　%2 σ = %3 MPa，损失 %4 MPa",
                   {c[out::theta],
                    two ? fmt("分界点距左端 %1 mm（沿钢绞线），", {fixed(stressed.tensioning.divide, 0)})
                        : s.ends == calc::Ends::left ? "右端" : "左端",
                    c[out::sigmaFar], c[out::loss]}));
    y += 5;
    paper.text(margin + 4, y, 176,
               fmt("伸长值合计 %1 mm，实测应在 %2～%3 mm 之间%4", {c[out::elong], c[out::elongMin], c[out::elongMax],
                                                            two ? "（两端实测伸长值之和）" : ""}));
    y += 5;
    y = anchoring(paper, y, result);
    if (!c[out::cutLength].empty()) {
        paper.text(margin + 4, y, 176,
                   fmt("下料长度 %1 mm = 钢绞线长 %2 mm + 张拉端 %3 mm × %4 + 锚固端 %5 mm × %6",
                       {c[out::cutLength], c[out::tendonLength], numeric::writeNumber(s.allowLive.value_or(0)),
                        std::to_string(calc::jackedEnds(s.ends)), numeric::writeNumber(s.allowDead.value_or(0)),
                        std::to_string(2 - calc::jackedEnds(s.ends))}));
        y += 5;
    }
    const schedule::StrandOrder order = schedule::strandOrder(stressed, result.count);
    paper.text(margin + 4, y, 176,
               fmt("钢绞线用量 %1 mm × %2 根 × %3 束 = %4 m（φs%5，%6 kg）",
                   {numeric::writeNumber(s.cut(stressed.length)), std::to_string(s.strands), std::to_string(result.count),
                    numeric::writeNumber(order.metres), s.size->name, fixed(order.kilograms, 1)}));
    y += 5;
    for (const std::string &note : split(c[out::note], "；"))
        y += 5 * paper.paragraph(margin + 4, y, 176, "⚠ " + note, 5);
    return code.mark.empty() ? y + 2 : siteCodeBlock(paper, y + 2, code);
}

// The tendon's code for the phone at the jack, its mark beside it, and what
// it opens. Nothing else comes within four modules of the code, which a
// reader needs clear around it.
double Sheet::siteCodeBlock(Paper &paper, double y, const SiteCode &code)
{
    const double x = margin + 4, beside = x + codeSide + 6;
    const bool tooLong = code.modules.size == 0;
    if (!tooLong) {
        const double module = codeSide / code.modules.size;
        paper.code(Code{x, y + 2, module, code.modules.size, code.modules.dark});
    }
    paper.font(9, true);
    paper.text(beside, y + 4, 130, "现场张拉记录　束 " + code.mark);
    paper.font(8);
    paper.paragraph(beside, y + 10, 130,
                    tooLong ? "本束的行与参数过多，无法做成二维码：请在网页中打开钢绞线表后进入现场记录。"
                            : "用手机扫描左侧二维码，在网页的现场记录中打开本束（张拉力、油压表读数、伸长值同本计算书）",
                    4.5);
    paper.font(7);
    paper.paragraph(beside, y + 21, 130, "本束数据在链接的 # 之后，打开时不发往任何服务器；网页：" + siteUrl_, 3.8);
    return y + codeBlock;
}

// The loss as the wedges seat, and the stages the site reads at each jack.
double Sheet::anchoring(Paper &paper, double y, const schedule::Result &result)
{
    namespace out = schedule::output;
    const auto &c = result.cells;
    const schedule::Stressed &stressed = *result.stressed;
    const schedule::Stressing &s = stressed.stressing;
    const calc::Anchoring &a = stressed.anchoring;
    const bool two = s.ends == calc::Ends::both;
    const char *ends[]{"左端", "右端"};
    paper.text(margin + 4, y, 176, fmt("锚固（GB 50010 第 10.2.2、10.2.3 条及附录 J，反向摩擦同 κ、μ）：锚具回缩 a = %1 mm", {c[out::set]}));
    y += 5;
    paper.text(margin + 4, y, 176, "lf 内 σ锚固后(x) = K / σ张拉(x)，σ锚固后(lf) 等于该处原应力，∫₀^lf (σ − σ锚固后) dx / Ep = a，按各段指数应力精确求解");
    y += 5;
    if (two) {
        const char *orders[]{"两端同时锁定", "先锁左端，右端千斤顶持荷 σcon，再锁右端", "先锁右端，左端千斤顶持荷 σcon，再锁左端"};
        paper.text(margin + 4, y, 176,
                   fmt("锁定顺序：%1。规范只述一端的锚固，两端的相互影响按同样的反向摩擦由力学推导", {orders[int(s.lockOff)]}));
        y += 5;
    }
    y += 5 * paper.paragraph(margin + 4, y, 176, anchoringCases(stressed), 5);
    std::string reach;
    for (int end = 0; end < 2; ++end)
        if (calc::jackedAt(s.ends, end))
            reach += fmt("%1%2 lf = %3 mm，σl1 = %4 MPa", {reach.empty() ? "" : "；", ends[end], c[end ? out::lfRight : out::lfLeft],
                                                           c[end ? out::setLossRight : out::setLossLeft]});
    paper.text(margin + 4, y, 176, reach);
    y += 5;
    paper.text(margin + 4, y, 176,
               fmt("锚固后最小应力 %1 MPa（沿钢绞线距左端 %2 mm），该处 σl1 + σl2 = %3 MPa",
                   {c[out::sigmaAnchoredMin], fixed(a.lowestAt, 0), c[out::lossTotalMax]}));
    y += 6;
    const char *headings[]{"张拉端", "千斤顶", "阶段", "% σcon", "张拉力 (kN)", "压力表读数 (MPa)", "计算伸长值 (mm)"};
    const double columns[]{margin + 4, margin + 20, margin + 40, margin + 62, margin + 86, margin + 116, margin + 150};
    paper.font(7.5);
    for (int i = 0; i < 7; ++i)
        paper.text(columns[i], y, 26, headings[i], i > 2 ? Align::right : Align::left);
    paper.pen(0.15);
    paper.line(margin + 4, y + 5.5, pageWidth - margin, y + 5.5);
    y += stageHeading - 0.5;
    const char *names[]{"初应力", "2 × 初应力", "σcon"};
    for (int end = 0; end < 2; ++end) {
        if (!calc::jackedAt(s.ends, end))
            continue;
        const schedule::Gauge *gauge = s.gaugeAt(end);
        int n = 0;
        for (const schedule::Stage &stage : schedule::stages(stressed, end)) {
            const std::string cells[]{n ? "" : ends[end], n || !gauge ? std::string() : gauge->name, names[n],
                                      std::to_string(stage.percent), fixed(stage.force, 1),
                                      stage.gauge ? fixed(*stage.gauge, 2) : "—", fixed(stage.elongation, 1)};
            for (int i = 0; i < 7; ++i)
                paper.text(columns[i], y, 26, cells[i], i > 2 ? Align::right : Align::left);
            y += stageRow;
            ++n;
        }
    }
    paper.font(8);
    if (s.jack > 0) {
        paper.text(margin + 4, y + 0.5, 176, fmt("各阶段计算伸长值不含千斤顶内 %1 mm 钢绞线的伸长", {numeric::writeNumber(s.jack)}));
        y += 5;
    }
    const schedule::Gauge *left = calc::jackedAt(s.ends, 0) ? s.gaugeAt(0) : nullptr;
    const schedule::Gauge *right = calc::jackedAt(s.ends, 1) ? s.gaugeAt(1) : nullptr;
    if (left || right) {
        const schedule::Gauge *one = left ? left : right;
        std::string used = fmt("校准：%1  %2", {one->name, one->equation});
        if (left && right && right != left)
            used += fmt("；%1  %2", {right->name, right->equation});
        paper.text(margin + 4, y + 0.5, 176, used + "（p 压力表读数 MPa，F 张拉力 kN）");
        y += 5;
    }
    return y + 1.5;
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
