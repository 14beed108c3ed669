#include "schedule/schedule.h"

#include "calc/messages.h"
#include "calc/tendon.h"
#include "numeric/number_text.h"

#include <charconv>

namespace schedule {

namespace {

constexpr std::array<std::string_view, output::columnCount> titles{
    "name", "profile", "e1", "e2", "e3", "k1", "k2", "k3", "lc", "lg1", "lg2", "count",
    "a1", "a2", "a3", "a4", "L1", "L2", "L3", "L4", "length", "total", "status", "message"};

// The failure kinds in the words of the status column.
constexpr std::array<std::string_view, 4> kindWords{"overflow", "division by zero", "invalid operation",
                                                    "invalid argument"};

std::string_view trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool digits(std::string_view text, std::size_t &at)
{
    const std::size_t from = at;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9')
        ++at;
    return at > from;
}

// The row cannot be computed from what the schedule holds.
struct Refusal {
    std::string message;
};

Refusal refusal(std::string_view column, std::string_view text, std::string_view what)
{
    return {"输入错误 (input)：" + std::string(column) + " 列“" + std::string(text) + "”" + std::string(what)};
}

// Rows never hold more identical tendons than this; a bigger count is a slip.
constexpr long maxCount = 1'000'000;

long countOf(std::string_view field)
{
    const std::string_view text = trimmed(field);
    if (text.empty())
        return 1;
    long count = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
    if (error != std::errc() || end != text.data() + text.size() || text.front() == '-' || count < 1
        || count > maxCount)
        throw refusal("count", text, "不是 1 至 1000000 之间的整数。");
    return count;
}

} // namespace

std::string_view output::title(int column) { return titles.at(std::size_t(column)); }

bool output::numeric(int column) { return (column >= e1 && column <= count) || (column >= a1 && column <= total); }

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

Result evaluate(const Record &record)
{
    Result result;
    auto &cells = result.cells;
    for (int column = input::name; column <= input::count; ++column)
        cells[std::size_t(column)] = record.fields[std::size_t(column)]; // as given, until computed
    try {
        const std::string profileText = std::string(trimmed(record.fields[input::profile]));
        std::string lower = profileText;
        for (char &c : lower)
            c = char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        if (lower != "c2a" && lower != "c4")
            throw refusal("profile", profileText, "不是线型 C2a 或 C4。");
        const calc::Profile profile = lower == "c2a" ? calc::Profile::c2a : calc::Profile::c4;
        cells[output::profile] = profile == calc::Profile::c2a ? "C2a" : "C4";
        const long count = countOf(record.fields[input::count]);
        result.count = count;
        cells[output::count] = std::to_string(count);

        calc::ParameterTexts answers;
        for (int p : calc::askedParameters(profile)) {
            const std::string_view text = trimmed(record.fields[std::size_t(input::e1 + p)]);
            if (text.empty())
                throw refusal(calc::parameterName(p), text, "为空，该线型需要此参数。");
            if (!plainNumber(text))
                throw refusal(calc::parameterName(p), text, "不是数。");
            answers[std::size_t(p)] = text;
        }

        const calc::Tendon &tendon = result.tendon.emplace(calc::computeTendon(profile, answers));
        if (!(tendon.failure && tendon.stage == calc::Stage::entry))
            for (int p = 0; p < calc::parameter::count; ++p)
                cells[std::size_t(output::e1 + p)] = tendon.parameters[std::size_t(p)];
        const int segments = profile == calc::Profile::c2a ? 2 : 4;
        for (int i = 0; i < std::min(tendon.coefficients.known, segments); ++i)
            cells[std::size_t(output::a1 + i)] = tendon.coefficients.text[std::size_t(i)];
        for (std::size_t i = 0; i < tendon.length.segments.size(); ++i)
            cells[output::l1 + i] = std::to_string(tendon.length.segments[i].millimetres);
        if (tendon.length.total) {
            cells[output::length] = numeric::writeShort(*tendon.length.total);
            cells[output::total] = std::to_string(long(*tendon.length.total) * count);
        }
        if (tendon.failure) {
            cells[output::status] = kindWords[std::size_t(tendon.failure->kind())];
            cells[output::message] = calc::failureSummary(*tendon.failure);
        } else {
            cells[output::status] = "ok";
        }
    } catch (const Refusal &refused) {
        cells[output::status] = "input";
        cells[output::message] = refused.message;
    }
    return result;
}

} // namespace schedule
