#include "schedule/notes.h"

#include "numeric/number_text.h"

#include <cmath>

namespace schedule {

void addNote(std::string &notes, std::string_view note)
{
    (notes += notes.empty() ? "" : "；") += note;
}

std::string stressingNotes(const Stressing &s, double length, double radius)
{
    std::string text;
    const auto add = [&](const std::string &note) { addNote(text, note); };
    if (s.sigmaCon * 100 < 40 * s.fptk)
        add("σcon " + numeric::writeNumber(s.sigmaCon) + " MPa 低于 0.40 fptk（" + fixed(0.40 * s.fptk, 0)
            + " MPa），GB 50010 第 10.1.3 条要求不小于此值 (the control stress is below 0.40 fptk)");
    if (s.sigmaCon * 100 > 75 * s.fptk)
        add("σcon " + numeric::writeNumber(s.sigmaCon) + " MPa 超过 0.75 fptk（" + fixed(0.75 * s.fptk, 0)
            + " MPa）：GB 50010 第 10.1.3 条仅在两种情况下允许提高 0.05 fptk，即要求提高构件在施工阶段的抗裂性能而在使用阶段受压区内设置的预应力筋，"
              "或要求部分抵消由于应力松弛、摩擦、钢筋分批张拉以及预应力筋与张拉台座之间的温差等因素产生的预应力损失 "
              "(above 0.75 fptk: GB 50010 allows it only in those two cases)");
    const double longest = s.duct->bonded ? 20000 : 40000;
    if (s.ends != calc::Ends::both && length > longest)
        add(std::string(s.duct->bonded ? "有粘结" : "无粘结") + "预应力筋长度超过 " + fixed(longest / 1000, 0)
            + " m，宜两端张拉 (a tendon this long is jacked at both ends)");
    const std::string metres = fixed(radius / 1000, 2);
    if (radius < 4000)
        add("最小曲率半径 " + metres + " m 小于 4 m，后张曲线预应力束的曲率半径不宜小于 4 m（GB 50010）"
            "(the smallest radius of curvature is under 4 m)");
    if (s.fc && s.ductDiameter) {
        // P in kN over MPa times mm gives metres.
        const double least = s.force() / (0.35 * *s.fc * *s.ductDiameter);
        if (radius / 1000 < least)
            add("最小曲率半径 " + metres + " m 小于 P/(0.35·fc·dp) = " + fixed(least, 2) + " m（P 取张拉力 " + fixed(s.force(), 1)
                + " kN，fc = " + numeric::writeNumber(*s.fc) + " MPa，dp = " + numeric::writeNumber(*s.ductDiameter)
                + " mm；GB 50010）(the radius is under what the concrete bears at the duct)");
    }
    return text;
}

std::string anchoringNotes(const calc::Anchoring &a, const Stressing &s)
{
    std::string text;
    const auto add = [&](const std::string &note) { addNote(text, note); };
    const std::array<std::string_view, 2> name{"左端", "右端"};
    const bool two = s.ends == calc::Ends::both;
    for (int end = 0; end < 2; ++end) {
        if (!calc::jackedAt(s.ends, end))
            continue;
        const std::string here(name[std::size_t(end)]), other(name[std::size_t(1 - end)]);
        switch (a.reach[std::size_t(end)]) {
        case calc::Anchoring::within:
            break;
        case calc::Anchoring::wholeLength:
            if (!two)
                add("锚固损失影响长度超过束长，全长回缩 (the set zone reaches the dead end)");
            else
                add("后锁" + here + "：其回缩区到达已锁定的" + other + "锚具，全长回缩，" + other
                    + "锚下应力随之降低（力学推导）(the second set zone reaches the anchor locked first)");
            break;
        case calc::Anchoring::met:
            if (end == 0)
                add("两端同时锁定，两回缩区在距左端 " + fixed(a.meeting, 0)
                    + " mm 处相遇，该点不动，两侧各回缩 a（力学推导，GB 50010 未述两端锚固）(both ends locked off together: the set zones meet)");
            break;
        case calc::Anchoring::slidThrough:
            add("先锁" + here + "：其回缩区越过分界点，钢绞线滑向仍持荷的" + other + "千斤顶，" + here
                + "锚下应力为" + other + "单端张拉时的 σcon·e^−Z（力学推导）(locked first, the set zone slides through to the other jack)");
            break;
        }
    }
    if (a.slack)
        add("锚具回缩超过钢绞线全长伸长，锚固后钢绞线松弛 (the draw-in exceeds the strand's whole stretch)");
    else if (a.lowest < 0.5 * s.sigmaCon)
        add("锚固后最小应力 " + fixed(a.lowest, 1) + " MPa 低于 0.5σcon (the stress after anchoring falls below half the control stress)");
    return text;
}

std::string midSpanStepNote(const calc::ProfileGeometry &geometry)
{
    if (geometry.profile() != calc::Profile::c2a)
        return {};
    const double step = geometry.stepAt(geometry.joints().front());
    if (step == 0)
        return {};
    // lg2 is used whole, so its half is a whole or half millimetre; the
    // heights worked out from the equations carry a trace of rounding.
    return "C2a 两段抛物线在跨中相差 lg2/2 = " + numeric::writeNumber(std::round(step * 2) / 2)
           + " mm，钢绞线长度未计此段 (the two parabolas end apart at mid-span; the strand length leaves the step out)";
}

} // namespace schedule
