#pragma once

#include "schedule/csv.h"

#include <map>

namespace schedule {

// XLSX: numbers as numeric cells shown in the notation of their text, one
// frozen header row, failed rows filled in red; a worksheet of the setting-out
// heights of every ok tendon at stations `step` mm apart and at its key
// points, and the site record of its stressing. Writes the headers at once.
// The readings taken on site at each jack, by its tendon's mark and end (0
// left, 1 right): as typed, in the order of schedule::reading, and when each
// was taken.
struct JackReadings {
    std::array<std::string, reading::count> typed, at;
};
using SiteReadings = std::map<std::pair<std::string, int>, JackReadings>;

// Where the site record (张拉记录) keeps, from column A as 0: the tendon's
// mark, its end (左端, 右端), the elongation checked against, each reading in
// the order of schedule::reading, and when they were taken.
namespace recordColumn {
inline constexpr int mark = 0, end = 1, elongation = 10, times = 30;
inline constexpr int readings[reading::count]{13, 14, 15, 16, 17, 28};
} // namespace recordColumn

// `readings`, where given, fill the site record's cells; `others`, the titles
// of the schedule's columns the program does not know, follow note.
std::unique_ptr<ResultWriter> xlsxWriter(const std::string &path, double step, const Stressing &stressing,
                                         const SiteReadings *readings = nullptr, const std::vector<std::string> &others = {});

} // namespace schedule
