#pragma once

// What quillmere-schedule --help says beyond its options: what a schedule
// holds, what the results hold, how friction and anchoring are worked out,
// an example, and the exit statuses.

namespace help {

extern const char *const description;

} // namespace help
