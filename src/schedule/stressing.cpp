// How tendons are stressed: the program's options and a row's own columns,
// each value read from its text and shown again as the engineer reads it,
// what cannot stand together, and the strands and words they are given by.

#include "schedule/schedule.h"

#include "numeric/decimal.h"
#include "numeric/number_text.h"

#include <algorithm>
#include <charconv>

namespace schedule {

namespace {

// The ends jacked and the lock-off orders by the words a schedule gives them.
struct Named {
    std::string_view english, chinese, other;
};
constexpr std::array<Named, 3> endWords{{{"left", "左", "左端"}, {"right", "右", "右端"}, {"both", "两端", "双端"}}};
constexpr std::array<Named, 3> lockOffWords{{{"together", "同时", "两端同时"}, {"left-first", "先左", "先锁左端"},
                                             {"right-first", "先右", "先锁右端"}}};

// GB/T 5224's seven-wire strands: nominal diameter, area, mass a metre.
constexpr std::array<const StrandSize, 7> strandSizes{{
    {"9.5", 9.5, 54.8, 0.430}, {"11.1", 11.1, 74.2, 0.582}, {"12.7", 12.7, 98.7, 0.775}, commonStrand,
    {"15.7", 15.7, 150, 1.178}, {"17.8", 17.8, 191, 1.500}, {"21.6", 21.6, 285, 2.237},
}};

// A stressing value's text as a number from `low` (above it where `above`)
// to `high`, or the reason it is not one.
std::optional<std::string> numberIn(std::string_view text, double low, bool above, double high, double &value)
{
    if (!plainNumber(text))
        return "不是数 (not a number)";
    const std::string_view number = trimmed(text);
    const bool plus = number.front() == '+';
    const auto [end, error] = numeric::readDecimal(number.data() + plus, number.data() + number.size(), value);
    if (error == std::errc() && !(value < low || (above && value == low) || value > high))
        return std::nullopt;
    const std::string from = numeric::writeNumber(low), to = numeric::writeNumber(high);
    return above ? "须大于 " + from + " 且不超过 " + to + " (must be above " + from + " and at most " + to + ")"
                 : "须在 " + from + " 至 " + to + " 之间 (must be " + from + " to " + to + ")";
}

// A control stress over 0.80 fptk: why it is refused.
std::optional<std::string> overTensioned(double sigmaCon, double fptk)
{
    if (!(sigmaCon * 100 > 80 * fptk))
        return std::nullopt;
    return "超过 0.80 fptk（" + fixed(0.80 * fptk, 0) + " MPa）：GB 50666 规定超张拉时 σcon 亦不得超过 0.80 fptk "
           "(the control stress exceeds 0.80 fptk, the cap even on over-tensioning)";
}

} // namespace

// A word among the names it may be given (English in any case, or Chinese):
// its index, or -1.
int wordIn(std::string_view text, std::span<const Named> words)
{
    std::string lower(text);
    for (char &c : lower)
        c = char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    for (std::size_t n = 0; n < words.size(); ++n)
        if (lower == words[n].english || text == words[n].chinese || text == words[n].other)
            return int(n);
    return -1;
}

const StrandSize *strandSized(std::string_view field)
{
    std::string_view text = trimmed(field);
    for (std::string_view prefix : {"φs", "Φs", "φ", "Φ"})
        if (text.starts_with(prefix)) {
            text.remove_prefix(prefix.size());
            break;
        }
    const std::optional<double> diameter = plainValue(text);
    if (diameter && *diameter == commonStrand.diameter)
        return &commonStrand;
    for (const StrandSize &size : strandSizes)
        if (diameter && *diameter == size.diameter)
            return &size;
    return nullptr;
}

std::string_view strandSizeNames() { return "9.5、11.1、12.7、15.2、15.7、17.8、21.6"; }

std::optional<std::string> Stressing::set(std::string_view key, std::string_view field)
{
    const std::string_view text = trimmed(field);
    double value = 0;
    if (key == "duct") {
        const calc::DuctKind *kind = calc::ductNamed(text);
        if (!kind)
            return "不是孔道 " + std::string(calc::ductNames()) + " 之一 (not a kind of duct)";
        duct = kind;
        kappa.reset();
        mu.reset();
        return std::nullopt;
    }
    if (key == "ends") {
        const int word = text == "1" ? 0 : text == "2" ? 2 : wordIn(text, endWords);
        if (word < 0)
            return "不是 left、right 或 both（左、右、两端；1 即 left，2 即 both）(not an end to jack)";
        ends = calc::Ends(word);
        return std::nullopt;
    }
    if (key == "lock_off") {
        const int word = wordIn(text, lockOffWords);
        if (word < 0)
            return "不是 together、left-first 或 right-first（同时、先左、先右）(not an order of locking off)";
        lockOff = calc::LockOff(word);
        return std::nullopt;
    }
    if (key == "strand_size") {
        const StrandSize *given = strandSized(text);
        if (!given)
            return "不是钢绞线公称直径 " + std::string(strandSizeNames()) + " mm 之一 (not a strand size)";
        size = given;
        area = given->area;
        return std::nullopt;
    }
    if (key == "gauge")
        return readGauges(text, gauges);
    if (key == "jacks") {
        std::string names(text);
        for (std::size_t at; (at = names.find("，")) != std::string::npos;)
            names.replace(at, std::string_view("，").size(), ",");
        const std::size_t comma = names.find(',');
        const std::string_view all = names;
        const std::array<std::string_view, 2> given{trimmed(all.substr(0, comma)),
                                                   comma == std::string::npos ? std::string_view() : trimmed(all.substr(comma + 1))};
        if (given[0].empty() || given[1].find(',') != std::string_view::npos)
            return "不是千斤顶编号，应如 J1 或 J1,J2（左端、右端）(not the jacks' names)";
        jacks = {std::string(given[0]), std::string(given[1].empty() ? given[0] : given[1])};
        return std::nullopt;
    }
    if (key == "strands" || key == "initial") {
        long whole = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), whole);
        const bool isWhole = error == std::errc() && end == text.data() + text.size() && !text.empty();
        if (key == "initial") {
            if (!isWhole || (whole != 10 && whole != 15 && whole != 20))
                return "不是 10、15 或 20（初应力占 σcon 的百分数）(not 10, 15 or 20 per cent)";
            initial = int(whole);
        } else {
            if (!isWhole || whole < 1 || whole > 999)
                return "不是 1 至 999 之间的整数 (not a whole number from 1 to 999)";
            strands = whole;
        }
        return std::nullopt;
    }
    // What a strand can be: no stress beyond its strength, no coefficient,
    // modulus or allowance that would make the figures meaningless.
    struct Range {
        std::string_view key;
        bool positive;
        double high;
        double Stressing::*value = nullptr;
        std::optional<double> Stressing::*given = nullptr; // where it holds only when given
    };
    const Range ranges[]{
        {"sigma_con", true, 1e5, &Stressing::sigmaCon}, {"kappa", false, 1, nullptr, &Stressing::kappa},
        {"mu", false, 2, nullptr, &Stressing::mu},        {"area", true, 10000, &Stressing::area},
        {"ep", true, 1e7, &Stressing::ep},                {"fptk", true, 10000, &Stressing::fptk},
        {"jack", false, 1e5, &Stressing::jack},           {"allow-live", false, 1e5, nullptr, &Stressing::allowLive},
        {"allow-dead", false, 1e5, nullptr, &Stressing::allowDead}, {"set", false, 50, &Stressing::drawIn},
        {"stroke", true, 2000, &Stressing::stroke},       {"fc", true, 100, nullptr, &Stressing::fc},
        {"duct-dia", true, 1000, nullptr, &Stressing::ductDiameter}};
    const auto range = std::find_if(std::begin(ranges), std::end(ranges), [&](const Range &r) { return r.key == key; });
    if (range == std::end(ranges))
        return "不是张拉参数 (not a stressing value)";
    if (auto reason = numberIn(text, 0, range->positive, range->high, value))
        return reason;
    if (key == "sigma_con") {
        if (const auto over = overTensioned(value, fptk))
            return over;
        sigmaConGiven = true;
    }
    if (range->value)
        this->*range->value = value;
    else
        this->*range->given = value;
    // Without a control stress of its own, a strand is jacked to 0.75 of the
    // strength given.
    if (key == "fptk" && !sigmaConGiven)
        sigmaCon = 0.75 * fptk;
    return std::nullopt;
}

std::string Stressing::shown(std::string_view key) const
{
    const calc::Duct f = friction();
    const std::pair<std::string_view, std::optional<double>> values[]{
        {"sigma_con", sigmaCon}, {"kappa", f.kappa}, {"mu", f.mu}, {"strands", double(strands)},
        {"area", area}, {"ep", ep}, {"fptk", fptk}, {"jack", jack}, {"allow-live", allowLive}, {"allow-dead", allowDead},
        {"set", drawIn}, {"initial", initial}, {"stroke", stroke}, {"fc", fc}, {"duct-dia", ductDiameter}};
    if (key == "duct")
        return std::string(duct->name);
    if (key == "ends")
        return std::string(endWords[std::size_t(ends)].english);
    if (key == "lock_off")
        return std::string(lockOffWords[std::size_t(lockOff)].english);
    if (key == "strand_size")
        return std::string(size->name);
    if (key == "gauge") {
        std::string text;
        for (const Gauge &g : gauges)
            text += (text.empty() ? "" : "; ") + g.name + ":" + g.equation;
        return text;
    }
    if (key == "jacks")
        return jacks[0].empty() ? std::string() : jacks[0] + (jacks[1] == jacks[0] ? "" : "," + jacks[1]);
    for (const auto &[name, value] : values)
        if (name == key)
            return value ? numeric::writeNumber(*value) : std::string();
    return {};
}

std::optional<Stressing::Conflict> Stressing::conflict() const
{
    if (const auto over = overTensioned(sigmaCon, fptk))
        return Conflict{"sigma_con", "σcon " + numeric::writeNumber(sigmaCon) + " MPa " + *over};
    for (int end = 0; end < 2; ++end)
        if (!jacks[std::size_t(end)].empty() && !gaugeAt(end))
            return Conflict{"jacks", "千斤顶 " + jacks[std::size_t(end)] + " 没有给出校准 (--gauge) (no calibration names this jack)"};
    // A row's own control stress or strands change the force, so this one
    // can stand against a row's columns too.
    for (int end = 0; end < 2; ++end) {
        const Gauge *gauge = calc::jackedAt(ends, end) ? gaugeAt(end) : nullptr;
        if (gauge && gauge->reading(force()) < 0)
            return Conflict{"gauge", "千斤顶 " + gauge->name + " 在张拉力 " + fixed(force(), 1) + " kN 时读数 "
                                         + fixed(gauge->reading(force()), 2)
                                         + " MPa 小于零 (the calibration reads below zero at the control force)"};
    }
    return std::nullopt;
}

std::span<const StressingOption> stressingOptions()
{
    static constexpr StressingOption options[]{
        {"fptk", "fptk", "The strands' strength (default 1860); without --sigma-con the control stress is 0.75 of it.",
         "MPA", "钢绞线强度 fptk (MPa)",
         "钢绞线抗拉强度标准值（默认 1860）；未给 σcon 时张拉控制应力取其 0.75 倍。"},
        {"sigma-con", "sigma_con", "The control stress, at most 0.80 fptk (default 0.75 fptk: 1395).", "MPA",
         "张拉控制应力 σcon (MPa)",
         "张拉控制应力，不超过 0.80 fptk（默认 0.75 fptk：1395）。"},
        {"duct", "duct", "The duct: metal, plastic, steel or unbonded (default metal).", "KIND", "孔道",
         "孔道：金属波纹管、塑料波纹管、钢管或无粘结（默认金属波纹管）。"},
        {"kappa", "kappa", "The wobble coefficient, per metre (default the duct's).", "K", "孔道摩擦系数 κ (1/m)",
         "孔道每米局部偏差摩擦系数（默认按孔道）。"},
        {"mu", "mu", "The curvature friction coefficient (default the duct's).", "MU", "曲率摩擦系数 μ",
         "预应力筋与孔道壁的摩擦系数（默认按孔道）。"},
        {"ends", "ends", "The ends jacked: left (or 1), right, or both (or 2; the default).", "ENDS", "张拉端 (left/right/both)",
         "张拉端：left（或 1）、right，或 both（或 2，默认）。"},
        {"lock-off", "lock_off",
         "Which end's wedges seat first where both are jacked: together (the default), left-first or right-first.",
         "ORDER", "锁定顺序 (together/left-first/right-first)",
         "两端张拉时哪端先锁定：together（同时，默认）、left-first 或 right-first。"},
        {"strands", "strands", "Strands in a tendon (default 1).", "N", "每束根数",
         "每束钢绞线根数（默认 1）。"},
        {"strand-size", "strand_size",
         "The strands' nominal diameter, mm: 9.5, 11.1, 12.7, 15.2 (the default), 15.7, 17.8 or 21.6; it gives their "
         "area and mass.",
         "MM", "钢绞线公称直径 (mm)",
         "钢绞线公称直径：9.5、11.1、12.7、15.2（默认）、15.7、17.8 或 21.6 mm，定其面积与重量。"},
        {"area", "area", "The area of a strand, mm² (default the size's: 140 for 15.2).", "MM2", "单根面积 (mm²)",
         "单根钢绞线面积（默认按直径：15.2 为 140）。"},
        {"ep", "ep", "The strands' modulus of elasticity (default 195000).", "MPA", "弹性模量 Ep (MPa)",
         "钢绞线弹性模量（默认 195000）。"},
        {"jack", "jack", "The length of strand inside each jack (default 0).", "MM", "千斤顶内钢绞线长 (mm)",
         "每个千斤顶内的钢绞线长度，计入张拉端伸长（默认 0）。"},
        {"allow-live", "allow-live", "The strand cut beyond each jacked end.", "MM", "张拉端预留长 (mm)",
         "每个张拉端外的下料预留长度。"},
        {"allow-dead", "allow-dead", "The strand cut beyond each dead end.", "MM", "固定端预留长 (mm)",
         "每个固定端外的下料预留长度。"},
        {"set", "set", "The draw-in as the wedges seat, mm (default 6; 5 with top pressing).", "MM", "锚具回缩 a (mm)",
         "夹片锚固时的回缩，mm（默认 6；有顶压时 5）。"},
        {"initial", "initial", "The initial stage, per cent of the control stress: 10, 15 or 20 (default 10).", "PERCENT",
         "初应力 (%σcon)",
         "初应力阶段占张拉控制应力的百分数：10、15 或 20（默认 10）。"},
        {"gauge", "gauge", "A jack's calibration, NAME:p=aF+b or NAME:F=ap+b (p MPa, F kN); several by ';' or again.",
         "CALIBRATION", "千斤顶校准",
         "千斤顶与压力表的校准：名称:p=aF+b 或 名称:F=ap+b（p 为 MPa，F 为 kN）；多个以“;”分隔。"},
        {"stroke", "stroke", "The jacks' stroke, mm (default 200): a longer travel is read in two strokes.", "MM",
         "千斤顶行程 (mm)",
         "千斤顶行程（默认 200 mm）：更长的伸长分两次行程读数。"},
        {"jacks", "jacks", "The jacks at the left and right end by name, LEFT[,RIGHT] (default the calibrations in order).",
         "NAMES", "张拉端千斤顶",
         "左、右张拉端所用千斤顶的名称：左[,右]（默认按校准的次序）。"},
        {"fc", "fc", "The concrete's design compressive strength, MPa: with --duct-dia, the radius is checked against P/(0.35 fc dp).",
         "MPA", "混凝土轴心抗压强度设计值 fc (MPa)",
         "混凝土轴心抗压强度设计值：与孔道外径同给时，按 P/(0.35 fc dp) 校核曲率半径。"},
        {"duct-dia", "duct-dia", "The duct's outer diameter, mm, for the radius check with --fc.", "MM", "孔道外径 dp (mm)",
         "孔道外径，与 fc 同给时校核曲率半径。"},
    };
    return options;
}

} // namespace schedule
