#pragma once

// What a row's note says, where the engineer must look again: the checks the
// codes make on how a tendon is stressed and curved, what anchoring leaves,
// and the geometry only a schedule works out. Each note in Chinese with its
// English after it; a row's notes are joined by "；".

#include "schedule/schedule.h"

#include <string>
#include <string_view>

namespace schedule {

// A note after those already said ("" for none yet), joined by "；".
void addNote(std::string &notes, std::string_view note);

// The site's checks on how a tendon is stressed and curved (the row stays
// ok): the control stress against 0.40 and 0.75 fptk, a long tendon jacked
// at one end, the smallest radius against 4 m and what the concrete bears
// at the duct. `radius`: the smallest of its parabolas, mm.
std::string stressingNotes(const Stressing &s, double length, double radius);
// Which case of anchoring held at which end, and a stress left too low.
std::string anchoringNotes(const calc::Anchoring &a, const Stressing &s);
// Where a C2a's two parabolas end apart at mid-span (lg2 other than 0: the
// left one at lg1/2, the right one at (lg1 + lg2)/2 above the bottom face),
// as the row's note says it; "" where they meet or for a C4.
std::string midSpanStepNote(const calc::ProfileGeometry &geometry);

} // namespace schedule
