// libFuzzer target for the schedule reader: any bytes as a schedule. Reading
// never crashes or hangs; either the whole file is refused, or every record
// it reads is worked out into one result with one of the known statuses, and
// joined into tendons where rows share a mark; a stressed row's tensioning
// and anchoring figures are all numbers (no inf or nan from a stressing
// value at its limits), there are never more records than lines, and the
// columns the program does not know are carried through, no more than the
// header names.

#include "schedule/csv.h"
#include "schedule/schedule.h"
#include "schedule/tendons.h"

#include <algorithm>
#include <cstdint>
#include <set>
#include <span>
#include <sstream>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const std::set<std::string> statuses{"ok", "overflow", "division by zero", "invalid operation",
                                                "invalid argument", "input"};
    const std::string bytes(reinterpret_cast<const char *>(data), size);
    std::istringstream in(bytes);
    // Any text as a link: refused or read, never a fault, and never a tendon of no rows.
    if (const auto read = schedule::readSiteLink(bytes); read.tendon && read.tendon->rows.empty())
        __builtin_trap();
    const auto lines = std::count(bytes.begin(), bytes.end(), '\n') + 1;
    try {
        schedule::Reader reader(in);
        std::vector<schedule::Record> records(1);
        while (reader.next(records.back()))
            records.emplace_back();
        records.pop_back();
        std::vector<schedule::Result> results(records.size());
        // Consecutive rows of one mark worked out as tendons.
        for (std::size_t first = 0; first < results.size();) {
            const std::size_t last = schedule::tendonEnd(records, first);
            schedule::workOutTendon(std::span(records).subspan(first, last - first), {},
                                    std::span(results).subspan(first, last - first));
            // A stressed tendon's site link reads back as its rows.
            if (results[first].stressed) {
                const auto rows = std::span(records).subspan(first, last - first);
                const auto read = schedule::readSiteLink(schedule::siteLink("https://q.example/", rows, results[first].stressed->stressing));
                if (!read.tendon || read.tendon->rows.size() != rows.size())
                    __builtin_trap();
            }
            first = last;
        }
        if (long(results.size()) >= lines)
            __builtin_trap();
        // Each row carries the header's unknown columns, no more.
        const std::size_t others = reader.header() ? reader.header()->others.size() : 0;
        std::string line;
        for (const schedule::Result &result : results) {
            if (result.others.size() > others)
                __builtin_trap();
            schedule::appendRecord(line, result, ',', others);
        }
        for (const schedule::Result &result : results) {
            if (!statuses.contains(result.cells[schedule::output::status]))
                __builtin_trap();
            // A tendon's figures, where a row has them, are all numbers; an
            // end's own where that end is jacked, and only there.
            namespace out = schedule::output;
            if (!result.stressed)
                continue;
            const calc::Ends ends = result.stressed->stressing.ends;
            for (int column = out::radiusMin; column <= out::lossTotalMax; ++column) {
                const bool left = column == out::elongLeft || column == out::lfLeft || column == out::setLossLeft;
                const bool right = column == out::elongRight || column == out::lfRight || column == out::setLossRight;
                if (column == out::ends || column == out::lockOff || column == out::cutLength)
                    continue;
                const bool expected = left ? calc::jackedAt(ends, 0) : right ? calc::jackedAt(ends, 1) : true;
                if (schedule::plainNumber(result.cells[std::size_t(column)]) != expected)
                    __builtin_trap();
            }
        }
    } catch (const schedule::ReadError &) {
        // The whole file refused: no results at all.
    }
    return 0;
}
