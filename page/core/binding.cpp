// The page's way into the schedule's own code, compiled to WebAssembly. A
// handful of functions taking and returning plain data: records in as text,
// results out as JSON, nothing worked out here that the program works out
// elsewhere. The last schedule worked out is kept, so its drawing and its
// results file come from the very results the page shows.
//
// Records and options come in as one text each: records split by U+001E,
// fields by U+001F, fields in the order of the input columns, then any cell
// a workbook held no value for as its column, ":" and why; options as key
// U+001F text, split by U+001E. Neither separator can be typed.

#include "calc/continuous.h"
#include "calc/geometry.h"
#include "calc/tensioning.h"
#include "drawing/dxf.h"
#include "numeric/number_text.h"
#include "schedule/csv.h"
#include "schedule/live.h"
#include "schedule/schedule.h"
#include "sheet/figure.h"
#include "sheet/pages.h"
#include "workbook/opened.h"
#include "workbook/xlsx.h"

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr char recordSeparator = '\x1e', fieldSeparator = '\x1f';

using schedule::splitAt;

class Json {
public:
    Json &text(std::string_view s)
    {
        comma();
        out_ += '"';
        for (char c : s) {
            if (c == '"' || c == '\\') {
                out_ += '\\';
                out_ += c;
            } else if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                out_ += escaped;
            } else {
                out_ += c;
            }
        }
        out_ += '"';
        return *this;
    }
    Json &number(double value)
    {
        comma();
        out_ += numeric::writeNumber(value);
        return *this;
    }
    Json &key(std::string_view name)
    {
        text(name);
        out_ += ':';
        fresh_ = true;
        return *this;
    }
    Json &open(char bracket)
    {
        comma();
        out_ += bracket;
        fresh_ = true;
        return *this;
    }
    Json &close(char bracket)
    {
        out_ += bracket;
        fresh_ = false;
        return *this;
    }
    Json &raw(std::string_view literal)
    {
        comma();
        out_ += literal;
        return *this;
    }
    std::string done() { return std::move(out_); }

private:
    void comma()
    {
        if (!fresh_)
            out_ += ',';
        fresh_ = false;
    }
    std::string out_;
    bool fresh_ = true;
};

// The schedule as the page holds it, worked out with the options last taken.
schedule::Schedule live;

std::string columns()
{
    Json json;
    json.open('{').key("input").open('[');
    for (int column = 0; column < schedule::input::columnCount; ++column)
        json.open('{').key("title").text(schedule::input::title(column)).key("chinese")
            .text(schedule::input::chinese(column)).close('}');
    json.close(']').key("output").open('[');
    for (int column = 0; column < schedule::output::columnCount; ++column)
        json.open('{').key("title").text(schedule::output::title(column)).key("numeric")
            .raw(schedule::output::numeric(column) ? "true" : "false").close('}');
    // The rules the page writes into its own texts, as the core states them.
    json.close(']').key("step").number(schedule::defaultStep).key("tolerance").text(schedule::toleranceText()).key("stages").open('[');
    for (int stage = 0; stage < 3; ++stage)
        json.text(schedule::stageName(stage));
    json.close(']').key("ducts").open('[');
    for (std::string_view name : {"metal", "plastic", "steel", "unbonded"})
        json.open('{').key("name").text(name).key("chinese").text(calc::ductNamed(name)->chinese).close('}');
    return json.close(']').close('}').done();
}

// The options as the program takes them, with its defaults.
std::string options()
{
    const schedule::Stressing defaults;
    Json json;
    json.open('[');
    for (const schedule::StressingOption &o : schedule::stressingOptions())
        json.open('{').key("key").text(o.key).key("option").text(o.option).key("label").text(o.label)
            .key("help").text(o.help).key("explained").text(o.explained).key("default").text(defaults.shown(o.key))
            .key("words").raw(o.value == "ENDS" || o.value == "ORDER" || o.value == "CALIBRATION" || o.value == "NAMES" ? "true" : "false")
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

// Where the page is served ("" where not given).
std::string siteUrl;

// Takes the options given (key U+001F text, split by U+001E) in the program's
// order: "" when all stand, else the first refused as {key, message}, when no
// row is to be worked out, as the program works out none.
std::string takeOptions(const std::string &text)
{
    std::vector<std::pair<std::string_view, std::string_view>> given;
    for (std::string_view option : splitAt(text, recordSeparator)) {
        const auto parts = splitAt(option, fieldSeparator);
        if (parts.size() == 2 && !parts[1].empty())
            given.emplace_back(parts[0], parts[1]);
    }
    schedule::Stressing taken;
    const auto refused = [](std::string_view key, std::string_view message) {
        return Json().open('{').key("key").text(key).key("message").text(message).close('}').done();
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
    return {};
}

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

// A schedule's records as JSON: {"columns": [the input columns named],
// "records": [[fields], ...], "lines": [...], "unreadable": {record: [[column,
// why], ...]}}.
std::string recordsJson(schedule::Records &records, const std::vector<schedule::input::Column> &columns, int shift,
                        Json json = Json().open('{'))
{
    json.key("columns").open('[');
    for (schedule::input::Column column : columns)
        json.number(column);
    json.close(']').key("records").open('[');
    std::vector<int> lines;
    std::vector<std::pair<std::size_t, std::vector<std::pair<int, std::string>>>> unreadable;
    for (schedule::Record record; records.next(record);) {
        if (!record.unreadable.empty())
            unreadable.emplace_back(lines.size(), record.unreadable);
        lines.push_back(record.line - shift);
        json.open('[');
        for (const std::string &field : record.fields)
            json.text(field);
        json.close(']');
    }
    json.close(']').key("lines").open('[');
    for (int line : lines)
        json.number(line);
    json.close(']').key("unreadable").open('{');
    for (const auto &[record, cells] : unreadable) {
        json.key(std::to_string(record)).open('[');
        for (const auto &[column, why] : cells)
            json.open('[').number(column).text(why).close(']');
        json.close(']');
    }
    return json.close('}').close('}').done();
}

std::string readError(int line, int column, const std::string &message, const std::string &place = {})
{
    return Json().open('{').key("error").open('{').key("line").number(line).key("column").number(column)
        .key("place").text(place).key("message").text(message).close('}').close('}').done();
}

// A whole schedule's bytes, a workbook or text, as the program opens them:
// a workbook's that of `sheet`, or of the first worksheet with a header; with
// the sheet read and every worksheet that holds a schedule, for a choice
// among them.
std::string readWhole(const std::string &bytes, const std::string &sheet)
{
    const bool book = workbook::OpenedSchedule::workbookBytes(bytes);
    try {
        workbook::OpenedSchedule opened(bytes, sheet);
        if (!opened.refused().empty())
            return readError(0, 0, opened.refused());
        Json json;
        json.open('{');
        if (opened.sheet()) {
            json.key("sheet").text(opened.sheet()->sheet()).key("sheets").open('[');
            for (const std::string &name : workbook::scheduleSheets(*opened.book()))
                json.text(name);
            json.close(']');
        }
        return recordsJson(opened.records(), opened.columns(), 0, std::move(json));
    } catch (const schedule::ReadError &error) {
        // A worksheet's error names its cell.
        return book ? readError(0, 0, error.what(), error.place) : readError(error.line, error.column, error.what());
    } catch (const workbook::Unreadable &error) {
        return readError(0, 0, error.what());
    }
}

// A schedule's bytes as the program reads them, a workbook or CSV text: its
// records as recordsJson gives them, or {"error": {line, column, place,
// message}}. A part of a schedule (`part`, as pasted into the grid) needs no
// column; one whose first line names no column at all is rows alone, their
// fields in the input columns' order from `firstColumn` on, as a spreadsheet
// copies some of its rows.
std::string read(const std::string &bytes, bool part, int firstColumn, const std::string &sheet)
{
    if (!part)
        return readWhole(bytes, sheet);
    std::string text = bytes;
    int shift = 0; // lines added before the text
    try {
        if (part) {
            // The reader splits the first line (quotes and all); where it
            // names no column, a header naming as many from `firstColumn` on
            // goes before it.
            std::istringstream first(text);
            const schedule::Reader probe(first, true);
            if (probe.columns().empty()) {
                std::string header;
                for (int n = 0; n < probe.width() && firstColumn + n < schedule::input::columnCount; ++n)
                    header.append(n ? std::string(1, probe.delimiter()) : "").append(schedule::input::title(firstColumn + n));
                text = header + "\n" + text;
                shift = 1;
            }
        }
        std::istringstream in(text);
        schedule::Reader reader(in, part);
        return recordsJson(reader, reader.columns(), shift);
    } catch (const schedule::ReadError &error) {
        return readError(std::max(0, error.line - shift), error.column, error.what());
    }
}

// The results file as the program writes it, of the schedule last worked
// out: its bytes, byte-order mark and all (a text would lose the mark).
emscripten::val resultsCsv()
{
    char *buffer = nullptr;
    std::size_t size = 0;
    std::FILE *file = open_memstream(&buffer, &size);
    {
        const auto writer = schedule::csvWriter(file);
        live.eachTendon(0, [&](const schedule::TendonRows &tendon) {
            writer->write(tendon);
            return true;
        });
        writer->finish();
    }
    std::fclose(file);
    // A new array from a view copies the bytes out of memory freed here.
    const emscripten::val bytes = emscripten::val::global("Uint8Array").new_(emscripten::typed_memory_view(size, buffer));
    std::free(buffer);
    return bytes;
}

// The workbook the program writes (`-o FILE.xlsx`) of the schedule last
// worked out, by the program's own writer: its bytes, or an empty array
// where it could not be written. `readings`, the site's (records split by
// U+001E: tendon, end, the readings as typed and when each was taken, split
// by U+001F), fill its site record. The file lives in memory only while it
// is written.
// The program's workbook for the schedule last worked out, written a part
// at a time (begun, rows added, finished) so the page can show how far it
// has got and let it be stopped.
struct WorkbookUnderWay {
    static constexpr const char *path = "/tmp/quillmere.xlsx";
    schedule::SiteReadings taken; // the writer reads them as it writes each jack
    std::unique_ptr<schedule::ResultWriter> writer;
    std::size_t next = 0; // the next of the rows shown to write
};
std::unique_ptr<WorkbookUnderWay> underWay;

void workbookBegin(double step, const std::string &readings)
{
    underWay = std::make_unique<WorkbookUnderWay>();
    for (std::string_view record : splitAt(readings, recordSeparator)) {
        const auto fields = splitAt(record, fieldSeparator);
        if (fields.size() != 2 + 2 * schedule::reading::count)
            continue;
        schedule::JackReadings &jack = underWay->taken[{std::string(fields[0]), fields[1] == "1"}];
        for (std::size_t kind = 0; kind < schedule::reading::count; ++kind) {
            jack.typed[kind] = std::string(fields[2 + kind]);
            jack.at[kind] = std::string(fields[2 + schedule::reading::count + kind]);
        }
    }
    underWay->writer = schedule::xlsxWriter(WorkbookUnderWay::path, step, live.stressing(), &underWay->taken);
}

// Writes the tendons of about `rows` more rows (whole tendons); how many
// rows are written so far.
std::size_t workbookMore(std::size_t rows)
{
    if (!underWay || rows == 0)
        return underWay ? underWay->next : 0;
    std::size_t written = 0;
    underWay->next = live.eachTendon(underWay->next, [&](const schedule::TendonRows &tendon) {
        underWay->writer->write(tendon);
        return (written += tendon.rows.size()) < rows;
    });
    return underWay->next;
}

// The workbook's bytes, empty where it could not be written.
emscripten::val workbookEnd()
{
    std::vector<char> bytes;
    if (underWay) {
        workbookMore(live.size());
        const bool written = underWay->writer->finish();
        underWay.reset(); // closes the file
        if (std::FILE *file = written ? std::fopen(WorkbookUnderWay::path, "rb") : nullptr) {
            char buffer[1 << 16];
            for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
                bytes.insert(bytes.end(), buffer, buffer + n);
            std::fclose(file);
        }
        std::remove(WorkbookUnderWay::path);
    }
    return emscripten::val::global("Uint8Array").new_(emscripten::typed_memory_view(bytes.size(), bytes.data()));
}

// A workbook stopped before its end: nothing is kept of it.
void workbookCancel()
{
    underWay.reset();
    std::remove(WorkbookUnderWay::path);
}

emscripten::val workbookFile(double step, const std::string &readings)
{
    workbookBegin(step, readings);
    return workbookEnd();
}

// A site record read back from a workbook's bytes, for the schedule last
// worked out: {"readings": [{tendon, end, typed: [...], at: [...]}]}, or
// {"error": why} where the file holds no record or a record of another
// schedule (a jack it does not have, or another elongation to check), and
// then nothing is taken.
std::string importRecord(const std::string &bytes)
{
    std::variant<std::vector<workbook::ImportedJack>, std::string> read;
    try {
        const workbook::Workbook book(std::span(bytes.data(), bytes.size()));
        read = workbook::siteRecord(book);
    } catch (const workbook::Unreadable &error) {
        read = std::string(error.what());
    }
    const auto refused = [](const std::string &why) { return Json().open('{').key("error").text(why).close('}').done(); };
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
    Json json;
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

// The same results tab-separated, as a spreadsheet pastes them.
std::string resultsTsv()
{
    std::string text;
    schedule::appendHeader(text, '\t');
    live.eachRow([&](const schedule::Result &result) {
        text += "\r\n";
        schedule::appendRecord(text, result, '\t');
    });
    return text + "\r\n";
}

// The tendon of row n, as the live schedule places it; none for a row past
// the schedule's end.
std::optional<schedule::Schedule::Place> tendonOf(int row)
{
    return row < 0 ? std::nullopt : live.tendonOf(std::size_t(row));
}

// The tendon a row belongs to as its calculation sheet draws it, as SVG:
// its profile (its spans end to end, where it runs through several) and under
// it the stress along it, from the very figures the sheet's PDF is painted
// from. "" for a row with no profile.
std::string figures(int row)
{
    const auto rows = tendonOf(row);
    if (!rows)
        return {};
    const auto [first, last, whole] = *rows;
    const schedule::Result &head = *live.row(first);
    constexpr double profileTop = 0, stressTop = 64;
    figure::Figure drawn;
    double length = 0;
    if (last - first == 1) {
        const calc::ProfileGeometry g = calc::geometryOf(*head.tendon);
        drawn = figure::profile({0, profileTop, calc::sheetDrawingWidth, calc::sheetProfileHeight}, g,
                                calc::readParameters(head.tendon->parameters));
        length = g.span();
    } else {
        std::vector<const calc::Tendon *> spans;
        std::vector<std::string> names;
        for (std::size_t n = first; n < last; ++n) {
            spans.push_back(&*live.row(n)->tendon);
            names.push_back(live.row(n)->cells[schedule::output::name]);
        }
        const std::vector<double> starts = calc::continuousTendon(spans).starts;
        drawn = figure::spans({0, profileTop, calc::sheetDrawingWidth, calc::sheetProfileHeight}, spans, starts, names);
        length = starts.back();
    }
    // A span of a longer tendon that failed has no stress of its own to draw.
    const bool stressed = head.stressed && head.stressed->pieces.back().to <= length + 0.5;
    if (stressed) {
        const figure::Figure stress = figure::stress({0, stressTop, calc::sheetDrawingWidth, calc::sheetStressHeight}, length, *head.stressed);
        drawn.items.insert(drawn.items.end(), stress.items.begin(), stress.items.end());
    }
    const double height = stressed ? stressTop + calc::sheetStressHeight + 2 : calc::sheetProfileHeight + 2;
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 -3 " + numeric::writeNumber(calc::sheetDrawingWidth) + " "
           + numeric::writeNumber(height + 3) + "\" class=\"drawing\" role=\"img\">" + figure::svg(drawn) + "</svg>";
}

// The key points of the tendon a row belongs to, span by span: each span's
// name, and each point's name with its x from the tendon's left end and its
// height above the beam's bottom face (whole mm, as the sheet gives them).
// A tendon with a span that failed lists the row's own span alone; {} for a
// row with no profile.
std::string keyPoints(int row)
{
    const auto rows = tendonOf(row);
    if (!rows)
        return "{}";
    const auto [first, last, whole] = *rows;
    Json json;
    json.open('{').key("spans").open('[');
    for (std::size_t n = first; n < last; ++n) {
        const calc::ProfileGeometry g = calc::geometryOf(*live.row(n)->tendon);
        const double start = whole ? live.row(n)->start : 0;
        json.open('{').key("name").text(live.row(n)->cells[schedule::output::name]).key("points").open('[');
        for (const calc::KeyPoint &point : g.keyPoints())
            for (const calc::ProfileGeometry::Height &h : g.heightsAt(point.x)) {
                const std::string side = h.side < 0 ? "（左段）" : h.side > 0 ? "（右段）" : "";
                json.open('{').key("name").text(std::string(calc::pointName(point.kind)) + side)
                    .key("shownX").number(double(calc::wholeMillimetres(start + point.x)))
                    .key("shownHeight").number(double(calc::wholeMillimetres(h.height))).close('}');
            }
        json.close(']').close('}');
    }
    return json.close(']').close('}').done();
}

// The construction drawing the program writes (--dxf, with --dxf-polylines
// where `polylines`) of the schedule last worked out, or of the tendon row
// `row` belongs to where it is one: its bytes, or an empty array where it
// could not be written.
emscripten::val drawingFile(bool polylines, int row)
{
    char *buffer = nullptr;
    std::size_t size = 0;
    std::FILE *file = open_memstream(&buffer, &size);
    bool written = false;
    {
        drawing::DxfWriter writer(file, schedule::defaultStep, polylines);
        const auto write = [&](const schedule::TendonRows &tendon) {
            writer.write(tendon);
            return true;
        };
        if (row < 0) {
            live.eachTendon(0, write);
        } else if (const auto place = tendonOf(row)) {
            std::vector<const schedule::Result *> rows;
            write(live.tendon(*place, rows));
        }
        written = writer.finish();
    }
    std::fclose(file);
    const emscripten::val bytes = emscripten::val::global("Uint8Array").new_(emscripten::typed_memory_view(written ? size : 0, buffer));
    std::free(buffer);
    return bytes;
}

// A text as a QR code, by the page's encoder (the module's qrModules, which
// gives {size, dark: "0101..."}, size 0 where the text is too long).
figure::Modules qrModules(const std::string &text)
{
    const emscripten::val encode = emscripten::val::module_property("qrModules");
    if (encode.isUndefined())
        return {};
    const emscripten::val code = encode(text);
    figure::Modules modules{code["size"].as<int>(), {}};
    for (const char c : code["dark"].as<std::string>())
        modules.dark.push_back(c == '1');
    if (modules.dark.size() != std::size_t(modules.size) * std::size_t(modules.size))
        return {};
    return modules;
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
std::string readSiteLink(const std::string &link)
{
    const schedule::SiteLinkRead read = schedule::readSiteLink(link);
    if (!read.tendon)
        return Json().open('{').key("message").text(read.message).close('}').done();
    Json json;
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

// The calculation sheet of the schedule last worked out, as the program
// writes it to PDF: a page of SVG for each of its A4 pages, split by U+001E.
// The calculation sheets as SVG pages, laid out a part at a time like the
// workbook: begun, rows added (the pages laid out for them), finished.
struct SheetsUnderWay {
    figure::Sheet sheet{schedule::defaultStep, siteUrl, qrModules};
    std::size_t next = 0;
};
std::unique_ptr<SheetsUnderWay> sheetsUnderWay;

std::string laidOut(figure::Sheet &sheet)
{
    std::string pages;
    for (const figure::Figure &page : sheet.pages)
        pages += "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 210 297\" class=\"sheet\">" + figure::svg(page) + "</svg>"
                 + recordSeparator;
    sheet.pages.clear();
    return pages;
}

void sheetsBegin() { sheetsUnderWay = std::make_unique<SheetsUnderWay>(); }

// The pages laid out for the tendons of about `rows` more rows (whole
// tendons), each ended by a record separator.
std::string sheetsMore(std::size_t rows)
{
    if (!sheetsUnderWay || rows == 0)
        return {};
    std::string pages;
    std::size_t laid = 0;
    sheetsUnderWay->next = live.eachTendon(sheetsUnderWay->next, [&](const schedule::TendonRows &tendon) {
        sheetsUnderWay->sheet.add(tendon);
        pages += laidOut(sheetsUnderWay->sheet);
        return (laid += tendon.rows.size()) < rows;
    });
    return pages;
}

// The last pages: the rest of the rows, then what the sheets end with.
std::string sheetsEnd()
{
    if (!sheetsUnderWay)
        return {};
    std::string pages = sheetsMore(live.size());
    sheetsUnderWay->sheet.finish();
    pages += laidOut(sheetsUnderWay->sheet);
    sheetsUnderWay.reset();
    return pages;
}

// Sheets stopped before their end: nothing more is laid out.
void sheetsCancel() { sheetsUnderWay.reset(); }

std::string sheetPages()
{
    sheetsBegin();
    return sheetsEnd();
}

// Every jack of the schedule last worked out, tendon by tendon, as the site
// record lists them: the row its tendon's figures stand on, its mark, the end,
// the jack's name, each stage's force and gauge reading, the elongation to
// check with its limits, the tendon's total with its limits (where both ends
// are jacked, the tendon is judged on it), the draw-in allowed, and whether
// the ram's travel needs a second stroke.
std::string siteJacks()
{
    Json json;
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
            json.key("both").raw(s.ends == calc::Ends::both ? "true" : "false").key("total").text(total);
            json.key("totalMin").text(schedule::elongationLimit(total, -tolerance)).key("totalMax").text(schedule::elongationLimit(total, tolerance));
            json.key("set").text(numeric::writeNumber(s.drawIn)).key("twoStrokes").raw(schedule::secondStroke(stressed, end) ? "true" : "false");
            json.close('}');
        }
    }
    return json.close(']').done();
}

// The readings typed at a tendon's left and right jack (each split by
// U+001F, in the order of schedule::reading) checked: for each jacked end,
// each reading's mark (0 fine, 1 not yet typed, 2 not a number, 3
// backwards), its measured elongation and its deviation from its own to 0.1;
// and the whole tendon's measured elongation and deviation, whether within
// ±6 %, and whether it waits for the other end ("" and null where not yet
// known).
std::string siteCheck(int row, const std::string &left, const std::string &right)
{
    if (row < 0 || !live.row(std::size_t(row)) || !live.row(std::size_t(row))->stressed)
        return "{}";
    schedule::TendonReadings readings;
    for (int end = 0; end < 2; ++end) {
        const auto parts = splitAt(end ? right : left, fieldSeparator);
        for (std::size_t n = 0; n < readings[std::size_t(end)].size() && n < parts.size(); ++n)
            readings[std::size_t(end)][n] = std::string(parts[n]);
    }
    const schedule::TendonCheck check = schedule::checkTendon(*live.row(std::size_t(row))->stressed, readings);
    const auto known = [](const std::optional<bool> &verdict) { return verdict ? (*verdict ? "true" : "false") : "null"; };
    const auto tenths = [](const std::optional<double> &value) { return value ? schedule::fixed(*value, 1) : std::string(); };
    Json json;
    json.open('{').key("ends").open('[');
    for (const std::optional<schedule::SiteCheck> &end : check.ends) {
        if (!end) {
            json.raw("null");
            continue;
        }
        json.open('{').key("marks").open('[');
        for (schedule::SiteCheck::Mark mark : end->marks)
            json.number(int(mark));
        json.close(']').key("measured").text(tenths(end->measured)).key("deviation").text(tenths(end->deviation));
        json.key("drawIn").raw(known(end->drawInWithin)).close('}');
    }
    json.close(']').key("measured").text(tenths(check.measured)).key("deviation").text(tenths(check.deviation));
    json.key("within").raw(known(check.within)).key("waiting").raw(check.waiting ? "true" : "false");
    return json.close('}').done();
}

} // namespace

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
    emscripten::function("version", &schedule::versionText);
}
