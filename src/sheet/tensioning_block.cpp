// The tensioning block of a stressed tendon's sheet: how it is stressed,
// piece by piece, what each jack gives, how it is anchored at each end and
// which case held, the stages the site reads, and its code to the site record.

#include "sheet/pages.h"
#include "sheet/text.h"

#include "calc/anchoring.h"
#include "numeric/number_text.h"
#include "schedule/materials.h"

#include <cmath>

namespace figure {

namespace sheetText {

namespace {

// Which case of anchoring held at which end, in words.
std::string anchoringCases(const schedule::Stressed &stressed)
{
    const schedule::Stressing &s = stressed.stressing;
    const calc::Anchoring &a = stressed.anchoring;
    const bool two = s.ends == calc::Ends::both;
    std::string cases;
    for (int end = 0; end < 2; ++end) {
        if (!calc::jackedAt(s.ends, end))
            continue;
        const std::string here(schedule::endName(end)), other(schedule::endName(1 - end));
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
} // namespace

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

} // namespace sheetText

using namespace sheetText;

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
               std::string(two ? "张拉（摩擦损失按 GB 50010 第 10.2.4 条；伸长值按两端之和校核，允许偏差 "
                               : "张拉（摩擦损失按 GB 50010 第 10.2.4 条；伸长值允许偏差 ")
                   + schedule::toleranceText() + "，GB 50666）");
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
        const std::string cells[]{std::string(schedule::endName(right)), name, fixed(piece.length, 0), fixed(piece.theta, 4),
                                  fixed(piece.z, 4), fixed(piece.sigmaIn, 1), fixed(piece.sigmaOut, 1),
                                  fixed(piece.elongation, 1)};
        for (int i = 0; i < 8; ++i)
            paper.text(columns[i], y, 22, cells[i], i > 1 ? Align::right : Align::left);
        y += 4.3;
    }
    y += 1.5;
    paper.font(8);
    const std::string inJack = s.jack > 0 ? fmt("（含千斤顶内 %1 mm 钢绞线）", {numeric::writeNumber(s.jack)}) : "";
    const auto jack = [&](std::string_view end, int column) {
        const std::string &e = c[std::size_t(column)];
        const std::string low = schedule::elongationLimit(e, -schedule::elongationTolerance),
                          high = schedule::elongationLimit(e, schedule::elongationTolerance);
        paper.text(margin + 4, y, 176,
                   two ? fmt("%1：计算伸长值 %2 mm%3（本端 %4～%5 mm，仅供参考）；张拉力 %6 kN", {end, e, inJack, low, high, c[out::force]})
                       : fmt("%1：计算伸长值 %2 mm%3，实测应在 %4～%5 mm 之间；张拉力 %6 kN", {end, e, inJack, low, high, c[out::force]}));
        y += 5;
    };
    if (calc::jackedAt(s.ends, 0))
        jack(schedule::endName(0), out::elongLeft);
    if (calc::jackedAt(s.ends, 1))
        jack(schedule::endName(1), out::elongRight);
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
            reach += fmt("%1%2 lf = %3 mm，σl1 = %4 MPa", {reach.empty() ? "" : "；", std::string(schedule::endName(end)), c[end ? out::lfRight : out::lfLeft],
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
    for (int end = 0; end < 2; ++end) {
        if (!calc::jackedAt(s.ends, end))
            continue;
        const schedule::Gauge *gauge = s.gaugeAt(end);
        int n = 0;
        for (const schedule::Stage &stage : schedule::stages(stressed, end)) {
            const std::string cells[]{n ? "" : std::string(schedule::endName(end)), n || !gauge ? std::string() : gauge->name, std::string(schedule::stageName(n)),
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

} // namespace figure
