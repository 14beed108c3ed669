#pragma once

// A schedule of any length worked out as it streams in, in the same memory
// whatever its length, across the machine's cores: the program's way.

#include "schedule/tendons.h"

#include <functional>

namespace schedule {

// Every tendon of the schedule worked out, handed to `each` in the
// schedule's order, a mark used before said on its first row. Records are
// worked out in batches shared by the machine's cores, so a ReadError comes
// before the tendons of the batch it falls in.
void workOutAll(Records &reader, const Stressing &stressing, const std::function<void(const TendonRows &)> &each);

} // namespace schedule
