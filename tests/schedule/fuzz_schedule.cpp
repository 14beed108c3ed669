// libFuzzer target for the schedule reader: any bytes as a schedule. Reading
// never crashes or hangs; either the whole file is refused, or every record
// it reads is worked out into one result with one of the known statuses, an
// ok row's tensioning figures are all numbers (no inf or nan from a stressing
// value at its limits), and there are never more records than lines.

#include "schedule/schedule.h"

#include <algorithm>
#include <cstdint>
#include <set>
#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const std::set<std::string> statuses{"ok", "overflow", "division by zero", "invalid operation",
                                                "invalid argument", "input"};
    const std::string bytes(reinterpret_cast<const char *>(data), size);
    std::istringstream in(bytes);
    const auto lines = std::count(bytes.begin(), bytes.end(), '\n') + 1;
    try {
        schedule::Reader reader(in);
        schedule::Record record;
        long records = 0;
        while (reader.next(record)) {
            const schedule::Result result = schedule::evaluate(record);
            if (++records >= lines || !statuses.contains(result.cells[schedule::output::status]))
                __builtin_trap();
            for (int column = schedule::output::sigmaCon; result.ok() && column <= schedule::output::force; ++column)
                if (column != schedule::output::elongRight && !schedule::plainNumber(result.cells[std::size_t(column)]))
                    __builtin_trap();
        }
    } catch (const schedule::ReadError &) {
        // The whole file refused: no results at all.
    }
    return 0;
}
