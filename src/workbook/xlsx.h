#pragma once

#include "schedule/csv.h"

namespace schedule {

// XLSX: numbers as numeric cells shown in the notation of their text, one
// frozen header row, failed rows filled in red; a worksheet of the setting-out
// heights of every ok tendon at stations `step` mm apart and at its key
// points, and the site record of its stressing. Writes the headers at once.
std::unique_ptr<ResultWriter> xlsxWriter(const std::string &path, double step, const Stressing &stressing);

} // namespace schedule
