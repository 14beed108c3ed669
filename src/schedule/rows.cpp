#include "schedule/schedule.h"

#include "calc/continuous.h"
#include "calc/messages.h"
#include "calc/tendon.h"
#include "numeric/decimal.h"
#include "numeric/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace schedule {

namespace {

constexpr std::array<std::string_view, output::columnCount> titles{
    "name", "profile", "e1", "e2", "e3", "k1", "k2", "k3", "lc", "lg1", "lg2", "count", "tendon",
    "a1", "a2", "a3", "a4", "L1", "L2", "L3", "L4", "length", "total", "tendon_length", "radius_min",
    "sigma_con", "kappa", "mu", "ends", "theta", "sigma_far", "loss", "elong_left", "elong_right", "elong",
    "elong_min", "elong_max", "force", "cut_length", "set", "lock_off", "lf_left", "lf_right", "set_loss_left",
    "set_loss_right", "set_loss", "sigma_anchored_min", "loss_total_max", "status", "message", "note"};

// The failure kinds in the words of the status column.
constexpr std::array<std::string_view, 4> kindWords{"overflow", "division by zero", "invalid operation",
                                                    "invalid argument"};

bool digits(std::string_view text, std::size_t &at)
{
    const std::size_t from = at;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9')
        ++at;
    return at > from;
}

// The row cannot be computed from what the schedule holds in a column.
struct Refusal {
    int column;
    std::string message;
};

// The message names the column as the schedule's header does.
Refusal refusal(const Record &record, int column, std::string_view text, std::string_view what)
{
    return {column, "输入错误 (input)：" + std::string(columnName(record.header.get(), column)) + " 列“" + std::string(text)
                        + "”" + std::string(what)};
}

// Rows never hold more identical tendons than this; a bigger count is a slip.
constexpr long maxCount = 1'000'000;

long countOf(const Record &record)
{
    const std::string typed = asciiForms(trimmed(record.fields[input::count]));
    const std::string_view text = trimmed(typed);
    if (text.empty())
        return 1;
    long count = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
    if (error != std::errc() || end != text.data() + text.size() || text.front() == '-' || count < 1
        || count > maxCount)
        throw refusal(record, input::count, text, "不是 1 至 1000000 之间的整数 (not a whole number from 1 to 1000000)");
    return count;
}

// A value rounded to `decimals` as a whole number of their units (12.35 to
// one decimal: 124, or 123 where the double lies below 12.35), as the exact
// decimal expansion of the double rounds.
long long units(double value, int decimals)
{
    const long long n = numeric::roundDecimals(std::abs(value), decimals);
    return value < 0 ? -n : n;
}

// Units of `decimals` as their text, the point a "." in any locale.
std::string unitsText(long long units, int decimals)
{
    std::string digits = std::to_string(units < 0 ? -units : units);
    if (decimals) {
        if (digits.size() <= std::size_t(decimals))
            digits.insert(0, std::size_t(decimals) + 1 - digits.size(), '0');
        digits.insert(digits.size() - std::size_t(decimals), 1, '.');
    }
    return units < 0 ? "-" + digits : digits;
}

std::string tenthsText(long tenths) { return unitsText(tenths, 1); }

// The site's checks on how a tendon is stressed and curved; the row stays ok.
std::string notes(const Stressing &s, double length, double radius)
{
    std::string text;
    const auto add = [&](const std::string &note) { text += (text.empty() ? "" : "；") + note; };
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

// What anchoring leaves, where the engineer must look again: which case
// held at which end, and a stress left too low.
std::string anchoringNotes(const calc::Anchoring &a, const Stressing &s)
{
    std::string text;
    const auto add = [&](const std::string &note) { text += (text.empty() ? "" : "；") + note; };
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

// A stressing value as its cell shows it. Most rows of a schedule are stressed
// alike, so the last few texts of each column are kept.
const std::string &shownOnce(int column, double value)
{
    struct Shown {
        double value = std::numeric_limits<double>::quiet_NaN();
        std::string text;
    };
    constexpr std::size_t kept = 4;
    thread_local std::array<std::array<Shown, kept>, 3> last;
    thread_local std::array<std::size_t, 3> next{};
    const std::size_t at = std::size_t(column - output::sigmaCon);
    for (const Shown &shown : last[at])
        if (shown.value == value)
            return shown.text;
    Shown &shown = last[at][next[at]++ % kept];
    shown.text = numeric::writeNumber(value);
    shown.value = value;
    return shown.text;
}

// A tendon stressed along its pieces, the cells of its (first) row filled.
// `radius`: the smallest radius of its parabolas, mm.
void stress(Result &result, const Stressing &s, std::vector<calc::Piece> pieces, double length, double radius)
{
    auto &cells = result.cells;
    Stressed &stressed = result.stressed.emplace();
    stressed.stressing = s;
    stressed.pieces = std::move(pieces);
    stressed.length = length;
    const calc::Duct duct = s.friction();
    const calc::Tensioning &t = stressed.tensioning =
        calc::tension(stressed.pieces, duct, s.sigmaCon, s.ends, s.ep, s.jack);
    const bool left = calc::jackedAt(s.ends, 0), right = calc::jackedAt(s.ends, 1);
    cells[output::radiusMin] = fixed(radius / 1000, 2);
    cells[output::sigmaCon] = shownOnce(output::sigmaCon, s.sigmaCon);
    cells[output::kappa] = shownOnce(output::kappa, duct.kappa);
    cells[output::mu] = shownOnce(output::mu, duct.mu);
    cells[output::ends] = s.shown("ends");
    cells[output::theta] = fixed(t.theta, 4);
    cells[output::sigmaFar] = fixed(t.sigmaFar, 1);
    cells[output::loss] = fixed(s.sigmaCon - t.sigmaFar, 1);
    // The sum is the tendon's, rounded once; its range as the site reads it.
    if (left)
        cells[output::elongLeft] = fixed(t.elongLeft, 1);
    if (right)
        cells[output::elongRight] = fixed(t.elongRight, 1);
    cells[output::elong] = fixed(t.elongLeft + t.elongRight, 1);
    cells[output::elongMin] = elongationLimit(cells[output::elong], -elongationTolerance);
    cells[output::elongMax] = elongationLimit(cells[output::elong], elongationTolerance);
    cells[output::force] = fixed(s.force(), 1);
    if (s.allowLive || s.allowDead)
        cells[output::cutLength] = numeric::writeNumber(s.cut(length));
    stressed.anchoring = calc::anchor(stressed.pieces, duct, s.sigmaCon, s.ends, s.lockOff, s.ep, s.drawIn, t);
    const calc::Anchoring &a = stressed.anchoring;
    cells[output::set] = numeric::writeNumber(s.drawIn);
    if (left && right)
        cells[output::lockOff] = s.shown("lock_off");
    if (left) {
        cells[output::lfLeft] = fixed(a.lf[0], 0);
        cells[output::setLossLeft] = fixed(a.loss[0], 1);
    }
    if (right) {
        cells[output::lfRight] = fixed(a.lf[1], 0);
        cells[output::setLossRight] = fixed(a.loss[1], 1);
    }
    cells[output::setLoss] = fixed(std::max(a.loss[0], a.loss[1]), 1);
    cells[output::sigmaAnchoredMin] = fixed(a.lowest, 1);
    cells[output::lossTotalMax] = fixed(s.sigmaCon - a.lowest, 1);
    cells[output::note] = notes(s, length, radius);
    if (const std::string more = anchoringNotes(a, s); !more.empty())
        cells[output::note] += (cells[output::note].empty() ? "" : "；") + more;
}

// The smallest radius of a tendon's parabolas: p at a vertex, mm.
double smallestRadius(std::span<const calc::Tendon *const> spans)
{
    double radius = INFINITY;
    for (const calc::Tendon *span : spans)
        for (const calc::Segment &segment : span->length.segments)
            radius = std::min(radius, std::abs(segment.p));
    return radius;
}

// In the order the options are taken: a size brings its area before a row's own values.
constexpr std::array<std::pair<std::string_view, input::Column>, 9> stressingColumns{{
    {"sigma_con", input::sigmaCon}, {"duct", input::duct}, {"kappa", input::kappa},
    {"mu", input::mu}, {"ends", input::ends}, {"lock_off", input::lockOff}, {"strands", input::strands},
    {"strand_size", input::strandSize}, {"set", input::set},
}};

// The stressing a row's own columns give over `stressing`. A row that
// changes the force can make a jack's gauge read below zero; that names the
// column that gave the force (the control stress where the strands are not the row's).
void takeStressing(const Record &record, Stressing &stressing)
{
    bool any = false;
    for (const auto &[key, column] : stressingColumns) {
        const std::string typed = asciiForms(trimmed(record.fields[column]));
        const std::string_view text = trimmed(typed);
        if (!text.empty())
            if (const auto reason = stressing.set(key, text))
                throw refusal(record, column, text, *reason);
        any = any || !text.empty();
    }
    if (const auto conflict = any ? stressing.conflict() : std::nullopt) {
        const int column = trimmed(record.fields[input::strands]).empty() ? input::sigmaCon : input::strands;
        throw refusal(record, column, trimmed(record.fields[column]), "：" + conflict->message);
    }
}

} // namespace

std::string fixed(double value, int decimals) { return unitsText(units(value, decimals), decimals); }

std::string elongationLimit(std::string_view shown, int percent)
{
    std::string digits(shown);
    digits.erase(digits.size() - 2, 1);
    return tenthsText((std::stol(digits) * (100 + percent) + 50) / 100);
}

std::string_view output::title(int column) { return titles.at(std::size_t(column)); }

bool output::numeric(int column) { return (column >= e1 && column <= count) || (column >= a1 && column <= lossTotalMax); }

bool plainNumber(std::string_view field)
{
    const std::string_view text = trimmed(field);
    std::size_t at = text.starts_with('+') || text.starts_with('-') ? 1 : 0;
    bool any = digits(text, at);
    if (at < text.size() && text[at] == '.') {
        ++at;
        any = digits(text, at) || any;
    }
    if (any && at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        ++at;
        if (at < text.size() && (text[at] == '+' || text[at] == '-'))
            ++at;
        if (!digits(text, at))
            return false;
    }
    return any && at == text.size();
}

std::string asciiForms(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[i + k]); };
        if (i + 2 < text.size() && byte(0) == 0xE3 && byte(1) == 0x80 && byte(2) == 0x80) {
            out += ' '; // U+3000
            i += 2;
            continue;
        }
        // U+FF01..U+FF5E: EF BC 81..BF and EF BD 80..9E, each 0xFEE0 above its ASCII.
        if (i + 2 < text.size() && byte(0) == 0xEF && (byte(1) == 0xBC || byte(1) == 0xBD)) {
            const unsigned code = 0xF000u + ((byte(1) & 0x3Fu) << 6) + (byte(2) & 0x3Fu);
            if ((byte(2) & 0xC0) == 0x80 && code >= 0xFF01 && code <= 0xFF5E) {
                out += char(code - 0xFEE0);
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

std::string_view trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::vector<std::string_view> splitAt(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    if (text.empty())
        return parts;
    for (std::size_t from = 0;;) {
        const std::size_t at = text.find(separator, from);
        parts.push_back(text.substr(from, at == std::string_view::npos ? std::string_view::npos : at - from));
        if (at == std::string_view::npos)
            return parts;
        from = at + 1;
    }
}

std::optional<double> plainValue(std::string_view field)
{
    if (!plainNumber(field))
        return std::nullopt;
    const std::string_view text = trimmed(field);
    const bool minus = text.front() == '-', sign = minus || text.front() == '+';
    double value = 0;
    const auto [end, error] = numeric::readDecimal(text.data() + sign, text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return minus ? -value : value;
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

namespace {

// A row's own geometry said in its note: a step at mid-span, and a span
// only a schedule can work out.
void noteStep(Result &row)
{
    if (!row.ok() || !row.tendon)
        return;
    const auto add = [&](const std::string &note) { row.cells[output::note] += (row.cells[output::note].empty() ? "" : "；") + note; };
    if (const std::string note = midSpanStepNote(calc::geometryOf(*row.tendon)); !note.empty())
        add(note);
    if (row.tendon->beyondWindow)
        add("lc、分段或钢绞线长超过 32767 mm：单束计算窗口不能计算此跨，钢绞线表按长整数计算 "
            "(beyond the window's 32767 mm: only the schedule works this span out)");
}

} // namespace

Result evaluate(const Record &record, const Stressing &defaults, bool alone)
{
    Result result;
    auto &cells = result.cells;
    for (int column = input::name; column <= input::count; ++column)
        cells[std::size_t(column)] = record.fields[std::size_t(column)]; // as given, until computed
    const std::string_view mark = trimmed(record.fields[input::tendon]);
    cells[output::tendon] = mark.empty() ? record.fields[input::name] : std::string(mark);
    result.others = record.others;
    try {
        // A cell a workbook holds no value for refuses the row where the row
        // needs it: in any column but a parameter its profile does not ask.
        const auto unusable = [&](auto needed) {
            for (const auto &[column, why] : record.unreadable)
                if (needed(column))
                    throw Refusal{column, "输入错误 (input)：" + std::string(columnName(record.header.get(), column)) + " 列 " + why};
        };
        const auto parameter = [](int column) { return column >= input::e1 && column <= input::lg2; };
        if (!record.refused.empty())
            throw Refusal{-1, "输入错误 (input)：" + record.refused};
        unusable([&](int column) { return !parameter(column); });
        const std::string profileText = std::string(trimmed(record.fields[input::profile]));
        // "C4线型", as the window's caption names it, is a C4.
        std::string lower(trimmed(asciiForms(profileText)));
        if (lower.ends_with("线型"))
            lower = std::string(trimmed(std::string_view(lower).substr(0, lower.size() - std::string_view("线型").size())));
        for (char &c : lower)
            c = char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        if (lower != "c2a" && lower != "c4")
            throw refusal(record, input::profile, profileText, "不是线型 C2a 或 C4 (not the profile C2a or C4)");
        const calc::Profile profile = lower == "c2a" ? calc::Profile::c2a : calc::Profile::c4;
        cells[output::profile] = profile == calc::Profile::c2a ? "C2a" : "C4";
        const long count = countOf(record);
        result.count = count;
        cells[output::count] = std::to_string(count);
        Stressing stressing = defaults;
        takeStressing(record, stressing);

        const auto asked = calc::askedParameters(profile);
        unusable([&](int column) {
            return parameter(column) && std::find(asked.begin(), asked.end(), column - input::e1) != asked.end();
        });
        calc::ParameterTexts answers;
        for (int p : asked) {
            const int column = input::e1 + p;
            const std::string typed = asciiForms(trimmed(record.fields[std::size_t(column)]));
            const std::string_view text = trimmed(typed);
            if (text.empty() && record.header && record.header->titles[std::size_t(column)].empty())
                throw Refusal{column, "输入错误 (input)：钢绞线表没有 " + std::string(input::title(column)) + " 列，线型 "
                                          + cells[output::profile] + " 需要此参数 (the schedule has no such column; the "
                                          "profile needs it)"};
            if (text.empty())
                throw refusal(record, column, text, "为空，该线型需要此参数 (empty; the profile needs it)");
            if (!plainNumber(text))
                throw refusal(record, column, text, "不是数 (not a number)");
            answers[std::size_t(p)] = text;
        }

        const calc::Tendon &tendon = result.tendon.emplace(calc::computeTendon(profile, answers, calc::Limits::schedule));
        if (!(tendon.failure && tendon.stage == calc::Stage::entry))
            for (int p = 0; p < calc::parameter::count; ++p)
                cells[std::size_t(output::e1 + p)] = tendon.parameters[std::size_t(p)];
        const int segments = profile == calc::Profile::c2a ? 2 : 4;
        for (int i = 0; i < std::min(tendon.coefficients.known, segments); ++i)
            cells[std::size_t(output::a1 + i)] = tendon.coefficients.text[std::size_t(i)];
        for (std::size_t i = 0; i < tendon.length.segments.size(); ++i)
            cells[output::l1 + i] = std::to_string(tendon.length.segments[i].millimetres);
        if (tendon.length.total) {
            cells[output::length] = std::to_string(*tendon.length.total);
            cells[output::total] = std::to_string(*tendon.length.total * count);
            cells[output::tendonLength] = cells[output::length];
        }
        if (tendon.failure) {
            if (tendon.failedParameter >= 0)
                result.fault = input::e1 + tendon.failedParameter;
            cells[output::status] = kindWords[std::size_t(tendon.failure->kind())];
            cells[output::message] = calc::failureSummary(*tendon.failure);
        } else {
            cells[output::status] = "ok";
            if (alone) {
                const calc::Tendon *const spans[]{&tendon};
                stress(result, stressing, calc::tensioningPieces(tendon), double(*tendon.length.total), smallestRadius(spans));
            }
            noteStep(result);
        }
    } catch (const Refusal &refused) {
        cells[output::status] = "input";
        cells[output::message] = refused.message;
        result.fault = refused.column;
    }
    return result;
}

} // namespace schedule

namespace schedule {

namespace {

void addNote(Result &row, const std::string &note)
{
    std::string &cell = row.cells[output::note];
    cell += (cell.empty() ? "" : "；") + note;
}

// What a tendon's rows must agree on, where more than one gives it.
constexpr input::Column sharedColumns[]{input::count, input::sigmaCon, input::duct,    input::kappa,
                                        input::mu,    input::ends,     input::strands, input::set,
                                        input::lockOff, input::strandSize};

// Two texts of one stressing value are one where they give one value ("1"
// and "left", "15.2" and "15.20").
bool sameValue(int column, std::string_view a, std::string_view b)
{
    if (a == b)
        return true;
    for (const auto &[key, stressingColumn] : stressingColumns) {
        if (stressingColumn != column)
            continue;
        Stressing first, second;
        return !first.set(key, asciiForms(a)) && !second.set(key, asciiForms(b)) && first.shown(key) == second.shown(key);
    }
    return false;
}

} // namespace

bool sameTendon(const Record &a, const Record &b)
{
    const std::string_view mark = trimmed(a.fields[input::tendon]);
    return !mark.empty() && mark == trimmed(b.fields[input::tendon]);
}

void TendonMarks::check(const Record &first, Result &row)
{
    const std::string_view mark = trimmed(first.fields[input::tendon]);
    if (!mark.empty() && !used_.insert(std::string(mark)).second)
        addNote(row, "束号 " + std::string(mark) + " 前面已用过，此处为另一束 (the mark was used before: this is another tendon)");
}

bool TendonMarks::usedBefore(const Record &first) const
{
    const std::string_view mark = trimmed(first.fields[input::tendon]);
    return !mark.empty() && used_.contains(std::string(mark));
}

void TendonMarks::passed(const Record &first)
{
    const std::string_view mark = trimmed(first.fields[input::tendon]);
    if (!mark.empty())
        used_.insert(std::string(mark));
}

void joinTendon(std::span<Result> rows, std::span<const Record> records, const Stressing &defaults)
{
    if (rows.size() < 2)
        return;
    const std::string mark(trimmed(records.front().fields[input::tendon]));
    // Where each span stands in the tendon, as far as the spans before it
    // were entered.
    double start = 0;
    for (Result &row : rows) {
        row.spans = 0;
        row.start = start;
        const bool entered = row.tendon && !(row.tendon->failure && row.tendon->stage == calc::Stage::entry);
        start += entered ? numeric::readNumber(row.cells[output::lc]) : NAN;
    }
    rows.front().spans = int(rows.size());
    // A refusal of the whole tendon stands on every one of its rows.
    const auto refuseAll = [&](int column, const std::string &message) {
        for (std::size_t n = 0; n < rows.size(); ++n) {
            Result &row = rows[n];
            for (int c = output::name; c <= output::count; ++c)
                row.cells[std::size_t(c)] = records[n].fields[std::size_t(c)];
            for (int c = output::a1; c < output::columnCount; ++c)
                row.cells[std::size_t(c)].clear();
            row.cells[output::status] = "input";
            row.cells[output::message] = message;
            row.fault = column;
            row.tendon.reset();
            row.stressed.reset();
        }
    };
    // What the tendon's rows give, each column from whichever row gives it.
    Record tendon = records.front();
    for (input::Column column : sharedColumns) {
        std::string_view agreed;
        for (const Record &record : records) {
            const std::string_view text = trimmed(record.fields[column]);
            if (text.empty())
                continue;
            if (agreed.empty()) {
                agreed = text;
            } else if (!sameValue(column, agreed, text)) {
                refuseAll(column, "输入错误 (input)：束 " + mark + " 各跨的 " + std::string(columnName(records.front().header.get(), column))
                                      + " 列不一致（“" + std::string(agreed) + "”与“" + std::string(text) + "”）。");
                return;
            }
        }
        tendon.fields[column] = agreed;
    }
    // The tendon's count holds for every span worked out (one that is no
    // count has refused its own row already), and its figures stand on its
    // first row only.
    std::optional<long> count;
    try {
        count = countOf(tendon);
    } catch (const Refusal &) {
    }
    for (Result &row : rows) {
        for (int c = output::tendonLength; c <= output::lossTotalMax; ++c)
            row.cells[std::size_t(c)].clear();
        row.cells[output::note].clear();
        noteStep(row);
        row.stressed.reset();
        if (count && row.tendon && row.tendon->length.total) {
            row.count = *count;
            row.cells[output::count] = std::to_string(*count);
            row.cells[output::total] = std::to_string(*row.tendon->length.total * *count);
        }
    }
    for (std::size_t n = 0; n < rows.size(); ++n) {
        if (!rows[n].ok()) {
            addNote(rows.front(), "第 " + std::to_string(n + 1) + " 跨（" + records[n].fields[input::name]
                                       + "）未算出，束无张拉结果 (a span failed: no figures for the tendon)");
            return;
        }
    }
    // Every row is ok, so every shared value stood on some row; together
    // they may still not stand (one row's control stress, another's
    // strands: a gauge reading below zero).
    Stressing stressing = defaults;
    try {
        takeStressing(tendon, stressing);
    } catch (const Refusal &refused) {
        refuseAll(refused.column, refused.message);
        return;
    }

    std::vector<const calc::Tendon *> spans;
    for (const Result &row : rows)
        spans.push_back(&*row.tendon);
    calc::ContinuousTendon whole = calc::continuousTendon(spans);
    stress(rows.front(), stressing, std::move(whole.pieces), double(whole.length), smallestRadius(spans));
    rows.front().cells[output::tendonLength] = std::to_string(whole.length);
    for (const calc::Support &support : whole.supports)
        if (support.stepped())
            addNote(rows.front(), "第 " + std::to_string(support.left + 1) + "、" + std::to_string(support.left + 2)
                                       + " 跨之间孔道错台：梁顶以下 " + numeric::writeNumber(support.leftBelowTop) + " 与 "
                                       + numeric::writeNumber(support.rightBelowTop) + " mm (a step in the duct at a support)");
}

} // namespace schedule
