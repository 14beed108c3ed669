#pragma once

#include "platform/twips.h"

#include <array>
#include <span>
#include <string>
#include <string_view>

namespace window {

enum class ControlKind { TextBox, OptionButton, CommandButton, PictureBox, Label };

// How a control differs from the window's default look.
enum Look : unsigned {
    Plain = 0,
    RedText = 1u << 0,  // pure red, red 255, green 0, blue 0
    BoldSong = 1u << 1, // the Song face ("宋体"), 12 pt, bold
    Centred = 1u << 2,  // caption centred in a label
};

// One row of the window's design: which control, where (twips of the client
// area), its caption, its place in the keyboard tab order and its looks.
struct ControlSpec {
    ControlKind kind;
    int number; // 1 for Text1, Option1, Label1, ...
    std::string_view caption;
    platform::TwipsRect rect;
    int tabIndex;
    unsigned looks;
};

// The client area, and where it first appears on the screen.
inline constexpr platform::TwipsRect clientArea{1770, 1920, 10320, 13080};

// Every control of the window, in design order.
std::span<const ControlSpec> controlTable();

// "Text", "Option", "Command", "Picture" or "Label": with the number, the
// control's name, which is also its Qt object name.
std::string_view kindPrefix(ControlKind kind);

// The credits block, a line each: product, what it computes, version and
// version date.
std::array<std::string, 4> credits(std::string_view version);

} // namespace window
