#pragma once

#include "schedule/schedule.h"

#include <functional>

namespace schedule {

// Every record of the schedule worked out and joined into tendons, handed to
// `each` in the schedule's order with its record. Records are worked out in batches shared by
// the machine's cores, so a ReadError comes before the results of the batch
// it falls in.
void evaluateAll(Records &reader, const Stressing &stressing, const std::function<void(const Result &, const Record &)> &each);

} // namespace schedule
