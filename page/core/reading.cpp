// A schedule's bytes read as the program reads them, a workbook or text,
// or rows pasted into the grid: their records, as JSON.

#include "page.h"
#include "values.h"

#include "schedule/schedule.h"
#include "workbook/opened.h"

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

namespace page {

namespace {

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

} // namespace

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

} // namespace page
