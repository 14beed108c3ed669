#include "schedule/notes.h"
#include "schedule/schedule.h"

#include "calc/continuous.h"
#include "calc/messages.h"
#include "calc/tendon.h"
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
    cells[output::note] = stressingNotes(s, length, radius);
    if (const std::string more = anchoringNotes(a, s); !more.empty())
        addNote(cells[output::note], more);
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

std::string_view output::title(int column) { return titles.at(std::size_t(column)); }

bool output::numeric(int column) { return (column >= e1 && column <= count) || (column >= a1 && column <= lossTotalMax); }

namespace {

// A row's own geometry said in its note: a step at mid-span, and a span
// only a schedule can work out.
void noteStep(Result &row)
{
    if (!row.ok() || !row.tendon)
        return;
    const auto add = [&](const std::string &note) { addNote(row.cells[output::note], note); };
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
        addNote(row.cells[output::note], "束号 " + std::string(mark) + " 前面已用过，此处为另一束 (the mark was used before: this is another tendon)");
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
            addNote(rows.front().cells[output::note], "第 " + std::to_string(n + 1) + " 跨（" + records[n].fields[input::name]
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
            addNote(rows.front().cells[output::note], "第 " + std::to_string(support.left + 1) + "、" + std::to_string(support.left + 2)
                                       + " 跨之间孔道错台：梁顶以下 " + numeric::writeNumber(support.leftBelowTop) + " 与 "
                                       + numeric::writeNumber(support.rightBelowTop) + " mm (a step in the duct at a support)");
}

} // namespace schedule
