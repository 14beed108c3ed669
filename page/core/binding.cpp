// The page's way into the schedule's own code, compiled to WebAssembly:
// the functions bound for the page, and the live schedule they all work on,
// edited and worked out in the core, its options taken as the program takes
// them. Plain data in and out, nothing worked out here that the program
// works out elsewhere.
//
// A schedule's rows come in and go out as one text (ten thousand rows of
// forty fields cost far more to hand across one value at a time): records
// split by U+001E, fields by U+001F, fields in the order of the input
// columns, then any cell a workbook held no value for as its column, ":" and
// why. Neither separator can be typed. The page's thread never sees these
// texts: the core's thread turns them into values (page/src/core.js).

#include "page.h"
#include "values.h"

#include "schedule/schedule.h"

#include <emscripten/bind.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace page {

// The schedule as the page holds it, worked out with the options last taken.
schedule::Schedule live;
// Where the page is served ("" where not given).
std::string siteUrl;

namespace {

// A row's result as the page takes it: its input column at fault (-1 for
// none), the spans of the tendon it begins (0 where it goes on with one) and
// its cells, split by U+001F; "" for a row with nothing in it.
std::string rowText(const schedule::Result *result)
{
    if (!result)
        return {};
    std::string text = std::to_string(result->fault);
    (text += fieldSeparator) += std::to_string(result->spans);
    for (const std::string &cell : result->cells)
        (text += fieldSeparator) += cell;
    return text;
}

} // namespace

emscripten::val columns()
{
    Value json;
    json.open('{').key("input").open('[');
    for (int column = 0; column < schedule::input::columnCount; ++column)
        json.open('{').key("title").text(schedule::input::title(column)).key("chinese")
            .text(schedule::input::chinese(column)).close('}');
    json.close(']').key("output").open('[');
    for (int column = 0; column < schedule::output::columnCount; ++column)
        json.open('{').key("title").text(schedule::output::title(column)).key("numeric")
            .boolean(schedule::output::numeric(column)).close('}');
    // The rules the page writes into its own texts, as the core states them.
    json.close(']').key("blanks").text(schedule::blanks).key("step").number(schedule::defaultStep).key("tolerance").text(schedule::toleranceText()).key("stages").open('[');
    for (int stage = 0; stage < 3; ++stage)
        json.text(schedule::stageName(stage));
    json.close(']').key("ducts").open('[');
    for (std::string_view name : {"metal", "plastic", "steel", "unbonded"})
        json.open('{').key("name").text(name).key("chinese").text(calc::ductNamed(name)->chinese).close('}');
    return json.close(']').close('}').done();
}

// The options as the program takes them, with its defaults.
emscripten::val options()
{
    const schedule::Stressing defaults;
    Value json;
    json.open('[');
    for (const schedule::StressingOption &o : schedule::stressingOptions())
        json.open('{').key("key").text(o.key).key("option").text(o.option).key("label").text(o.label)
            .key("help").text(o.help).key("explained").text(o.explained).key("default").text(defaults.shown(o.key))
            .key("words").boolean(o.value == "ENDS" || o.value == "ORDER" || o.value == "CALIBRATION" || o.value == "NAMES")
            .close('}');
    // Where the page is served: not how a tendon is stressed, but kept with
    // the options, for the codes that open a tendon's site record there.
    json.open('{').key("key").text("site-url").key("option").text("site-url").key("label").text("现场记录网址")
        .key("help").text("The address where the page is served, http:// or https://: each tendon then carries a code "
                          "that opens its site record there.")
        .key("explained").text("本页所在的网址（http:// 或 https://）：每束的码即在该处打开其现场记录。")
        .key("default").text("").close('}');
    return json.close(']').done();
}

// Takes the options given ({key: text}) in the program's order: null when
// all stand, else the first refused as {key, message}, when no row is to be
// worked out, as the program works out none.
emscripten::val takeOptions(const emscripten::val &options)
{
    std::vector<std::pair<std::string, std::string>> given;
    const emscripten::val entries = emscripten::val::global("Object").call<emscripten::val>("entries", options);
    for (const emscripten::val &option : emscripten::vecFromJSArray<emscripten::val>(entries)) {
        std::string text = option[1].as<std::string>();
        if (!text.empty())
            given.emplace_back(option[0].as<std::string>(), std::move(text));
    }
    schedule::Stressing taken;
    const auto refused = [](std::string_view key, std::string_view message) {
        return Value().open('{').key("key").text(key).key("message").text(message).close('}').done();
    };
    for (const schedule::StressingOption &o : schedule::stressingOptions())
        for (const auto &[key, value] : given)
            if (key == o.key)
                if (const auto reason = taken.set(o.key, value))
                    return refused(o.key, *reason);
    if (const auto conflict = taken.conflict())
        return refused(conflict->key, conflict->message);
    std::string url;
    for (const auto &[key, value] : given)
        if (key == "site-url") {
            url = schedule::trimmed(value);
            if (const std::string why = schedule::siteUrlProblem(url); !why.empty())
                return refused(key, why);
        }
    siteUrl = url;
    live.stressWith(taken);
    return emscripten::val::null();
}

// Rows of a schedule of `total` rows worked out, the first of them its row
// `from`, as the live schedule takes an edit. The rows whose results changed
// come back as their index, U+001D and their text, split by U+001E: one
// text, since a thousand rows of forty cells each cost far more to hand over
// one by one.
std::string evaluate(const std::string &given, int from, int total)
{
    std::vector<schedule::Record> edited;
    for (std::string_view line : splitAt(given, recordSeparator)) {
        schedule::Record &record = edited.emplace_back();
        const auto fields = splitAt(line, fieldSeparator);
        for (std::size_t column = 0; column < record.fields.size(); ++column)
            record.fields[column] = column < fields.size() ? std::string(fields[column]) : std::string();
        for (std::size_t n = record.fields.size(); n < fields.size(); ++n)
            if (const std::size_t colon = fields[n].find(':'); colon != std::string_view::npos)
                record.unreadable.emplace_back(std::atoi(std::string(fields[n].substr(0, colon)).c_str()),
                                               std::string(fields[n].substr(colon + 1)));
    }
    std::string out;
    for (const std::size_t n : live.edit(std::size_t(std::max(0, from)), std::move(edited), std::size_t(std::max(0, total)))) {
        if (!out.empty())
            out += recordSeparator;
        (out += std::to_string(n)) += '\x1d';
        out += rowText(live.row(n));
    }
    return out;
}

} // namespace page

using namespace page;

EMSCRIPTEN_BINDINGS(quillmere)
{
    emscripten::function("siteJacks", &siteJacks);
    emscripten::function("siteCheck", &siteCheck);
    emscripten::function("columns", &columns);
    emscripten::function("options", &options);
    emscripten::function("takeOptions", &takeOptions);
    emscripten::function("evaluate", &evaluate);
    emscripten::function("read", &read);
    emscripten::function("resultsCsv", &resultsCsv);
    emscripten::function("resultsTsv", &resultsTsv);
    emscripten::function("workbook", &workbookFile);
    emscripten::function("workbookBegin", &workbookBegin);
    emscripten::function("workbookMore", &workbookMore);
    emscripten::function("workbookEnd", &workbookEnd);
    emscripten::function("workbookCancel", &workbookCancel);
    emscripten::function("importRecord", &importRecord);
    emscripten::function("dxf", &drawingFile);
    emscripten::function("keyPoints", &keyPoints);
    emscripten::function("figures", &figures);
    emscripten::function("sheetPages", &sheetPages);
    emscripten::function("sheetsBegin", &sheetsBegin);
    emscripten::function("sheetsMore", &sheetsMore);
    emscripten::function("sheetsEnd", &sheetsEnd);
    emscripten::function("sheetsCancel", &sheetsCancel);
    emscripten::function("siteLink", &siteLink);
    emscripten::function("siteCode", &siteCode);
    emscripten::function("readSiteLink", &readSiteLink);
    emscripten::function("windowDesign", &windowDesign);
    emscripten::function("windowClick", &windowClick);
    emscripten::function("windowAnswer", &windowAnswer);
    emscripten::function("windowDiagram", &windowDiagram);
    emscripten::function("windowRecord", &windowRecord);
    emscripten::function("version", &schedule::versionText);
}
