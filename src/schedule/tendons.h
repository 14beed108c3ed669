#pragma once

// A schedule's rows as tendons: consecutive rows of one mark are the spans
// of one tendon, from its left end to its right, worked out together. Every
// front-end takes its tendons from here: the program as they stream in, the
// page from the schedule it keeps (live.h).

#include "schedule/schedule.h"

#include <cstddef>
#include <span>

namespace schedule {

// One tendon of a schedule: its rows as worked out, and as given where they
// are known (else none). Its stressing figures stand on its first row
// (`head`). The results are wherever their schedule keeps them.
struct TendonRows {
    std::span<const Record> records;
    std::span<const Result *const> rows;
    const Result &head() const { return *rows.front(); }
    // Whether every span was worked out.
    bool whole() const;
};

// One past the last row of the tendon that begins at row `first`.
std::size_t tendonEnd(std::span<const Record> records, std::size_t first);

// The rows of one tendon worked out into `rows`: each as a span, then joined
// (a tendon of one row is stressed as it stands). The note on a mark used
// before is the schedule's to add (TendonMarks), in the schedule's order.
void workOutTendon(std::span<const Record> records, const Stressing &stressing, std::span<Result> rows);

} // namespace schedule
