// libFuzzer target for the schedule reader: any bytes as a schedule. Reading
// never crashes or hangs; either the whole file is refused, or every record
// it reads is worked out into one result with one of the known statuses, and
// there are never more records than lines.

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
            if (++records >= lines || !statuses.contains(schedule::evaluate(record).cells[schedule::output::status]))
                __builtin_trap();
        }
    } catch (const schedule::ReadError &) {
        // The whole file refused: no results at all.
    }
    return 0;
}
