// The site record: each jack's stages and limits, the readings checked as
// they are typed, a tendon's link and code to a phone, a record read back.

#include "page.h"
#include "values.h"

#include "calc/tensioning.h"
#include "schedule/schedule.h"
#include "sheet/figure.h"
#include "workbook/records.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace page {

// A text as a QR code, by the page's encoder (the module's qrModules, which
// gives {size, dark: a Uint8Array, 1 for a dark module, row by row}, size 0
// where the text is too long).
figure::Modules qrModules(const std::string &text)
{
    const emscripten::val encode = emscripten::val::module_property("qrModules");
    if (encode.isUndefined())
        return {};
    const emscripten::val code = encode(text);
    figure::Modules modules{code["size"].as<int>(), {}};
    for (const std::uint8_t dark : emscripten::convertJSArrayToNumberVector<std::uint8_t>(code["dark"]))
        modules.dark.push_back(dark != 0);
    if (modules.dark.size() != std::size_t(modules.size) * std::size_t(modules.size))
        return {};
    return modules;
}

// A site record read back from a workbook's bytes, for the schedule last
// worked out: {"readings": [{tendon, end, typed: [...], at: [...]}]}, or
// {"error": why} where the file holds no record or a record of another
// schedule (a jack it does not have, or another elongation to check), and
// then nothing is taken.
emscripten::val importRecord(const std::string &bytes)
{
    std::variant<std::vector<workbook::ImportedJack>, std::string> read;
    try {
        const workbook::Workbook book(std::span(bytes.data(), bytes.size()));
        read = workbook::siteRecord(book);
    } catch (const workbook::Unreadable &error) {
        read = std::string(error.what());
    }
    const auto refused = [](const std::string &why) { return Value().open('{').key("error").text(why).close('}').done(); };
    if (const std::string *why = std::get_if<std::string>(&read))
        return refused(*why);
    const auto &jacks = std::get<std::vector<workbook::ImportedJack>>(read);
    for (const workbook::ImportedJack &jack : jacks) {
        const std::string name = "束 " + jack.tendon + " " + std::string(schedule::endName(jack.end));
        const schedule::Result *here = nullptr;
        live.eachRow([&](const schedule::Result &row) {
            if (!here && row.stressed && row.cells[schedule::output::tendon] == jack.tendon
                && calc::jackedAt(row.stressed->stressing.ends, jack.end))
                here = &row;
        });
        if (!here)
            return refused("记录中的" + name + "不在当前钢绞线表中：记录属于另一张表，未导入。");
        const std::string elongation = schedule::fixed(schedule::siteElongation(*here->stressed, jack.end), 1);
        const std::optional<double> recorded = schedule::plainValue(jack.elongation);
        if (!recorded || schedule::fixed(*recorded, 1) != elongation)
            return refused("记录中" + name + "的计算伸长值为 " + jack.elongation + " mm，当前表为 " + elongation
                           + " mm：记录属于另一张表或另一组张拉参数，未导入。");
    }
    Value json;
    json.open('{').key("readings").open('[');
    for (const workbook::ImportedJack &jack : jacks) {
        json.open('{').key("tendon").text(jack.tendon).key("end").number(jack.end).key("typed").open('[');
        for (const std::string &typed : jack.readings.typed)
            json.text(typed);
        json.close(']').key("at").open('[');
        for (const std::string &at : jack.readings.at)
            json.text(at);
        json.close(']').close('}');
    }
    return json.close(']').close('}').done();
}

// The link to the site record of the tendon row n belongs to, where the page
// is given its address and the whole tendon is worked out; "" else.
std::string siteLink(int row)
{
    const auto rows = tendonOf(row);
    if (siteUrl.empty() || !rows || !rows->whole || !live.row(rows->first)->stressed)
        return {};
    return schedule::siteLink(siteUrl, live.records().subspan(rows->first, rows->last - rows->first),
                              live.row(rows->first)->stressed->stressing);
}

// The code of that link as SVG, drawn as the sheet draws it, one module a
// unit with the four modules of light a reader needs around it; "" for none.
std::string siteCode(int row)
{
    const std::string link = siteLink(row);
    const figure::Modules modules = link.empty() ? figure::Modules{} : qrModules(link);
    if (!modules.size)
        return {};
    figure::Figure code;
    code.items.push_back(figure::Code{0, 0, 1, modules.size, modules.dark});
    const std::string side = std::to_string(modules.size + 8);
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"-4 -4 " + side + " " + side
           + "\" shape-rendering=\"crispEdges\" role=\"img\"><rect x=\"-4\" y=\"-4\" width=\"" + side + "\" height=\"" + side
           + "\" fill=\"#fff\"/>" + figure::svg(code) + "</svg>";
}

// The tendon a link carries: {"rows": [[fields]], "options": [[key, text]]},
// or {"message"} where it carries none.
emscripten::val readSiteLink(const std::string &link)
{
    const schedule::SiteLinkRead read = schedule::readSiteLink(link);
    if (!read.tendon)
        return Value().open('{').key("message").text(read.message).close('}').done();
    Value json;
    json.open('{').key("rows").open('[');
    for (const schedule::Record &record : read.tendon->rows) {
        json.open('[');
        for (const std::string &field : record.fields)
            json.text(field);
        json.close(']');
    }
    json.close(']').key("options").open('[');
    for (const auto &[key, text] : read.tendon->options)
        json.open('[').text(key).text(text).close(']');
    return json.close(']').close('}').done();
}

// Every jack of the schedule last worked out, tendon by tendon, as the site
// record lists them: the row its tendon's figures stand on, its mark, the end,
// the jack's name, each stage's force and gauge reading, the elongation to
// check with its limits, the tendon's total with its limits (where both ends
// are jacked, the tendon is judged on it), the draw-in allowed, and whether
// the ram's travel needs a second stroke.
emscripten::val siteJacks()
{
    Value json;
    json.open('[');
    for (std::size_t row = 0; row < live.size(); ++row) {
        if (!live.row(row) || !live.row(row)->stressed)
            continue;
        const schedule::Stressed &stressed = *live.row(row)->stressed;
        const schedule::Stressing &s = stressed.stressing;
        const std::string total = schedule::fixed(schedule::siteTotal(stressed), 1);
        for (int end = 0; end < 2; ++end) {
            if (!calc::jackedAt(s.ends, end))
                continue;
            const schedule::Gauge *gauge = s.gaugeAt(end);
            const std::string elongation = schedule::fixed(schedule::siteElongation(stressed, end), 1);
            json.open('{').key("row").number(double(row)).key("tendon").text(live.row(row)->cells[schedule::output::tendon]);
            json.key("end").number(end).key("jack").text(gauge ? gauge->name : "").key("stages").open('[');
            for (const schedule::Stage &stage : schedule::stages(stressed, end)) {
                json.open('{').key("percent").number(stage.percent).key("force").text(schedule::fixed(stage.force, 1));
                json.key("gauge").text(stage.gauge ? schedule::fixed(*stage.gauge, 2) : "").close('}');
            }
            const int tolerance = schedule::elongationTolerance;
            json.close(']').key("elongation").text(elongation);
            json.key("min").text(schedule::elongationLimit(elongation, -tolerance)).key("max").text(schedule::elongationLimit(elongation, tolerance));
            json.key("both").boolean(s.ends == calc::Ends::both).key("total").text(total);
            json.key("totalMin").text(schedule::elongationLimit(total, -tolerance)).key("totalMax").text(schedule::elongationLimit(total, tolerance));
            json.key("set").text(numeric::writeNumber(s.drawIn)).key("twoStrokes").boolean(schedule::secondStroke(stressed, end));
            json.close('}');
        }
    }
    return json.close(']').done();
}

// The readings typed at a tendon's left and right jack (each an array of
// texts, in the order of schedule::reading) checked: for each jacked end,
// each reading's mark (0 fine, 1 not yet typed, 2 not a number, 3
// backwards), its measured elongation and its deviation from its own to 0.1;
// and the whole tendon's measured elongation and deviation, whether within
// ±6 %, and whether it waits for the other end ("" and null where not yet
// known).
emscripten::val siteCheck(int row, const emscripten::val &left, const emscripten::val &right)
{
    if (row < 0 || !live.row(std::size_t(row)) || !live.row(std::size_t(row))->stressed)
        return emscripten::val::object();
    schedule::TendonReadings readings;
    for (int end = 0; end < 2; ++end) {
        const auto typed = emscripten::vecFromJSArray<std::string>(end ? right : left);
        for (std::size_t n = 0; n < readings[std::size_t(end)].size() && n < typed.size(); ++n)
            readings[std::size_t(end)][n] = typed[n];
    }
    const schedule::TendonCheck check = schedule::checkTendon(*live.row(std::size_t(row))->stressed, readings);
    const auto tenths = [](const std::optional<double> &value) { return value ? schedule::fixed(*value, 1) : std::string(); };
    Value json;
    json.open('{').key("ends").open('[');
    for (const std::optional<schedule::SiteCheck> &end : check.ends) {
        if (!end) {
            json.null();
            continue;
        }
        json.open('{').key("marks").open('[');
        for (schedule::SiteCheck::Mark mark : end->marks)
            json.number(int(mark));
        json.close(']').key("measured").text(tenths(end->measured)).key("deviation").text(tenths(end->deviation));
        json.key("drawIn").known(end->drawInWithin).close('}');
    }
    json.close(']').key("measured").text(tenths(check.measured)).key("deviation").text(tenths(check.deviation));
    json.key("within").known(check.within).key("waiting").boolean(check.waiting);
    return json.close('}').done();
}

} // namespace page
