// What the site reads while a tendon is stressed: the stages, the force at
// each, and each jack's gauge reading from its calibration.

#include "schedule/schedule.h"

#include <algorithm>

namespace schedule {

std::string_view stageName(int stage)
{
    static constexpr std::string_view names[]{"初应力", "2×初应力", "σcon"};
    return names[stage];
}

std::string_view endName(int end) { return end ? "右端" : "左端"; }

std::string toleranceText(int sign)
{
    return (sign < 0 ? "−" : sign > 0 ? "+" : "±") + std::to_string(elongationTolerance) + "%";
}

namespace {

// A coefficient or a constant as written; "" and "+" are 1 and "-" is -1
// before a variable.
bool number(const std::string &term, bool coefficient, double &value)
{
    if (coefficient && (term.empty() || term == "+" || term == "-")) {
        value = term == "-" ? -1 : 1;
        return true;
    }
    const std::optional<double> read = plainValue(term);
    value = read.value_or(0);
    return read.has_value();
}

bool isVariable(char c, char variable) { return c == variable || c == variable - 'a' + 'A' || c == variable - 'A' + 'a'; }

// One calibration, "NAME:p=aF+b" or "NAME:F=ap+b", its terms in any order.
std::optional<std::string> readGauge(std::string text, Gauge &gauge)
{
    for (std::size_t at; (at = text.find("：")) != std::string::npos;)
        text.replace(at, std::string_view("：").size(), ":");
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos || trimmed(std::string_view(text).substr(0, colon)).empty())
        return "“" + std::string(trimmed(text)) + "”缺少千斤顶编号，应如 J1:p=0.0213F-0.70 (a calibration names its jack)";
    gauge.name = std::string(trimmed(std::string_view(text).substr(0, colon)));
    gauge.equation = std::string(trimmed(std::string_view(text).substr(colon + 1)));
    const std::string wrong = "千斤顶 " + gauge.name + " 的校准式“" + gauge.equation
                              + "”不是 p=a·F+b 或 F=a·p+b（p 压力表读数 MPa，F 张拉力 kN）(not a calibration line)";
    std::string equation = gauge.equation;
    for (std::string_view sign : {" ", "\t", "·", "×", "*"})
        for (std::size_t at; (at = equation.find(sign)) != std::string::npos;)
            equation.erase(at, sign.size());
    if (equation.size() < 3 || equation[1] != '=' || !(isVariable(equation[0], 'p') || isVariable(equation[0], 'f')))
        return wrong;
    const bool pressure = isVariable(equation[0], 'p');
    const char other = pressure ? 'f' : 'p';
    // The right side's terms, split before each sign that is no exponent's.
    const std::string right = equation.substr(2);
    std::vector<std::string> terms;
    std::size_t from = 0;
    for (std::size_t at = 1; at <= right.size(); ++at)
        if (at == right.size() || ((right[at] == '+' || right[at] == '-') && right[at - 1] != 'e' && right[at - 1] != 'E')) {
            terms.push_back(right.substr(from, at - from));
            from = at;
        }
    std::optional<double> slope, constant;
    for (const std::string &term : terms) {
        double value = 0;
        const bool variable = !term.empty() && isVariable(term.back(), other);
        if (!number(variable ? term.substr(0, term.size() - 1) : term, variable, value))
            return wrong;
        std::optional<double> &into = variable ? slope : constant;
        if (into)
            return wrong;
        into = value;
    }
    if (!slope)
        return wrong;
    // Stored as the reading against the force.
    if (pressure) {
        gauge.perKn = *slope;
        gauge.atZero = constant.value_or(0);
    } else if (*slope != 0) {
        gauge.perKn = 1 / *slope;
        gauge.atZero = -constant.value_or(0) / *slope;
    }
    if (!(gauge.perKn > 0))
        return "千斤顶 " + gauge.name + " 的校准式“" + gauge.equation + "”读数不随张拉力增大 (the reading must rise with the force)";
    return std::nullopt;
}

// A measured elongation's deviation from a calculated one as the record
// shows it, to 0.1 mm, in per cent; none where that is not above zero.
std::optional<double> deviation(double measured, double calculated)
{
    const double shown = *plainValue(fixed(calculated, 1));
    if (!(shown > 0))
        return std::nullopt;
    return (measured - shown) / shown * 100;
}

} // namespace

std::optional<std::string> readGauges(std::string_view text, std::vector<Gauge> &gauges)
{
    std::vector<Gauge> read;
    std::size_t from = 0;
    while (from <= text.size()) {
        const std::size_t end = std::min(text.find(';', from), text.size());
        const std::string_view part = trimmed(text.substr(from, end - from));
        from = end + 1;
        if (part.empty())
            continue;
        Gauge gauge;
        if (auto reason = readGauge(std::string(part), gauge))
            return reason;
        if (std::any_of(read.begin(), read.end(), [&](const Gauge &g) { return g.name == gauge.name; }))
            return "千斤顶 " + gauge.name + " 的校准给了两次 (a jack calibrated twice)";
        read.push_back(std::move(gauge));
    }
    gauges = std::move(read);
    return std::nullopt;
}

const Gauge *Stressing::gaugeAt(int end) const
{
    if (gauges.empty())
        return nullptr;
    const std::string &named = jacks[std::size_t(end)];
    if (named.empty())
        return &gauges[std::min(std::size_t(end), gauges.size() - 1)];
    const auto gauge = std::find_if(gauges.begin(), gauges.end(), [&](const Gauge &g) { return g.name == named; });
    return gauge == gauges.end() ? nullptr : &*gauge;
}

double siteElongation(const Stressed &stressed, int end)
{
    const Stressing &s = stressed.stressing;
    return (end ? stressed.tensioning.elongRight : stressed.tensioning.elongLeft) - s.inJack();
}

double siteTotal(const Stressed &stressed)
{
    const calc::Tensioning &t = stressed.tensioning;
    return t.elongLeft + t.elongRight - stressed.stressing.inJack() * calc::jackedEnds(stressed.stressing.ends);
}

bool secondStroke(const Stressed &stressed, int end)
{
    const Stressing &s = stressed.stressing;
    return (siteElongation(stressed, end) + s.inJack()) * (100 - s.initial) / 100 > s.stroke;
}

std::array<Stage, 3> stages(const Stressed &stressed, int end)
{
    const Stressing &s = stressed.stressing;
    const Gauge *gauge = s.gaugeAt(end);
    std::array<Stage, 3> out;
    const int percents[]{s.initial, 2 * s.initial, 100};
    for (std::size_t n = 0; n < out.size(); ++n) {
        const double share = percents[n] / 100.0, force = s.force() * share;
        out[n] = {percents[n], force, gauge ? std::optional(gauge->reading(force)) : std::nullopt,
                  siteElongation(stressed, end) * share};
    }
    return out;
}

std::string_view reading::title(int kind)
{
    static constexpr std::string_view titles[]{"L0", "L1", "第一行程末", "第二行程始", "L2", "实测回缩"};
    return titles[kind];
}

SiteCheck checkSite(const Stressed &stressed, int end, const std::array<std::string, reading::count> &typed)
{
    using namespace reading;
    SiteCheck check;
    std::array<double, count> value{};
    for (int kind = 0; kind < count; ++kind) {
        const std::string_view text = trimmed(typed[std::size_t(kind)]);
        auto &mark = check.marks[std::size_t(kind)];
        if (text.empty())
            mark = SiteCheck::empty;
        else if (!number(std::string(text), false, value[std::size_t(kind)]) || value[std::size_t(kind)] < -1e6
                 || value[std::size_t(kind)] > 1e6)
            mark = SiteCheck::notNumber;
    }
    const auto is = [&](Kind kind, SiteCheck::Mark mark) { return check.marks[kind] == mark; };
    const auto at = [&](Kind kind) { return value[kind]; };
    const bool twoStrokes = !is(strokeEnd, SiteCheck::empty) || !is(strokeStart, SiteCheck::empty);
    // The ram only goes out while it pulls: each reading at least the one
    // before it in the same stroke.
    const auto order = [&](Kind before, Kind after) {
        if (is(before, SiteCheck::fine) && is(after, SiteCheck::fine) && at(after) < at(before))
            check.marks[after] = SiteCheck::backwards;
    };
    order(l0, l1);
    if (twoStrokes) {
        order(l1, strokeEnd);
        order(strokeStart, l2);
    } else {
        order(l1, l2);
    }
    if (is(drawIn, SiteCheck::fine) && at(drawIn) < 0)
        check.marks[drawIn] = SiteCheck::backwards;
    const auto fine = [&](std::initializer_list<Kind> kinds) {
        return std::all_of(kinds.begin(), kinds.end(), [&](Kind kind) { return is(kind, SiteCheck::fine); });
    };
    const Stressing &s = stressed.stressing;
    if (fine({l0, l1, l2}) && (!twoStrokes || fine({strokeEnd, strokeStart}))) {
        const double travel = twoStrokes ? (at(strokeEnd) - at(l0)) + (at(l2) - at(strokeStart)) : at(l2) - at(l0);
        check.measured = travel + (at(l1) - at(l0)) - s.inJack();
        check.deviation = deviation(*check.measured, siteElongation(stressed, end));
    }
    if (is(drawIn, SiteCheck::fine))
        check.drawInWithin = !(at(drawIn) > s.drawIn);
    return check;
}

TendonCheck checkTendon(const Stressed &stressed, const TendonReadings &typed)
{
    TendonCheck check;
    double measured = 0;
    int jacked = 0, read = 0;
    for (int end = 0; end < 2; ++end) {
        if (!calc::jackedAt(stressed.stressing.ends, end))
            continue;
        ++jacked;
        const SiteCheck &one = check.ends[std::size_t(end)].emplace(checkSite(stressed, end, typed[std::size_t(end)]));
        if (one.measured) {
            measured += *one.measured;
            ++read;
        }
    }
    check.waiting = jacked == 2 && read == 1;
    if (read < jacked)
        return check;
    check.measured = measured;
    check.deviation = deviation(measured, siteTotal(stressed));
    if (check.deviation)
        check.within = !(std::abs(*check.deviation) > elongationTolerance);
    return check;
}

} // namespace schedule
