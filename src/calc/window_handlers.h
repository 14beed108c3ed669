#pragma once

// The window's calculation handlers over the tendon core: each reads the box
// texts it needs, in the order the window reads them, hands them to the core
// and writes the core's results into the boxes. What a step computed before a
// failure is written before the failure leaves; the status line moves on only
// when the step is done.

#include "calc/tendon.h"
#include "calc/window_view.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

namespace calc {

// Selecting a profile, one answer at a time, for a window that cannot wait
// inside a handler for its prompt: begun, it has marked the boxes the profile
// does not use and says the first question; each answer is taken as the
// prompt's answer is; once the last is taken, the answers are written and the
// status line points to the parabola equations. An answer the window cannot
// take fails as the prompt's would, and the entry is over: the boxes keep
// what the marks left, the parameters what they held. enterC2a and enterC4
// are this entry with the window's own prompt.
class ParameterEntry {
public:
    ParameterEntry(WindowView &view, Profile profile);

    // The question to put next; none once every answer is written.
    std::optional<std::string_view> question() const;
    // The text typed for the question, "" for a cancel.
    void answer(std::string_view typed);

private:
    WindowView &view_;
    std::span<const int> asked_;
    std::size_t next_ = 0;
    ParameterTexts answers_;
};

// Selecting C2a: marks the boxes C2a does not use (k2 is fixed at 0.5, the
// inflection point at mid-span), asks e1, e2, lc, lg1 and lg2, writes the
// answers and points the engineer to the parabola equations. The coefficient
// and length boxes keep what an earlier calculation left there.
void enterC2a(WindowView &view);

// Selecting C4: empties the parameter and coefficient boxes, marks lg2 unused,
// asks e1, e2, e3, k1, k2, k3, lc and lg1, writes the answers and points the
// engineer to the parabola equations. The length box is left alone.
void enterC4(WindowView &view);

// The parabola equations y = a x^2 of the selected profile's segments, from
// the parameter boxes, into the coefficient boxes: a1, a2 for C2a (the other
// two marked " 无此方程 "), a1..a4 for C4. The parameter boxes are read
// whatever profile is selected; with none selected nothing is written.
void computeCoefficients(WindowView &view);

// The strand length of the selected profile in whole millimetres, into the
// result box. The result box is emptied first, so after a failure it shows
// nothing rather than an old length.
void computeStrandLength(WindowView &view);

} // namespace calc
