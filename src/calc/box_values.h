#pragma once

// Reading the quantities of a calculation from their boxes. A box that cannot
// be read fails with the failure's kind and names the quantity and its text.

#include "calc/window_view.h"

#include <cstdint>
#include <string_view>

namespace calc {

// The box's number as it stands (the reading rule alone).
double readReal(const WindowView &view, int box, std::string_view name);

// The box's number rounded to 15 significant digits, as if written to a box
// and read back: the form in which parameters enter the formulas.
double readHeld(const WindowView &view, int box, std::string_view name);

// The box's number rounded to whole millimetres, halves to even; fails with
// overflow outside -32768..32767.
std::int16_t readWhole(const WindowView &view, int box, std::string_view name);

} // namespace calc
