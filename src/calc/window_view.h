#pragma once

#include <string>
#include <string_view>

namespace calc {

// The boxes of the window by role; the numbers are the boxes' own (Text1..Text15).
namespace box {
inline constexpr int e1 = 1, e2 = 2, e3 = 3;
inline constexpr int k1 = 4, k2 = 5, k3 = 6;
inline constexpr int lc = 7, lg1 = 8, lg2 = 9;
inline constexpr int a1 = 10, a2 = 11, a3 = 12, a4 = 13;
inline constexpr int length = 14;
inline constexpr int status = 15;
} // namespace box

// The profile options: Option1 selects C2a, Option2 selects C4.
namespace profile {
inline constexpr int c2a = 1, c4 = 2;
}

// What the calculations see of the window: box texts (UTF-8), which profile is
// selected, and the parameter prompt. Writing a box replaces its whole text.
class WindowView {
public:
    virtual ~WindowView() = default;

    virtual std::string text(int box) const = 0;
    virtual void setText(int box, std::string_view text) = 0;
    virtual bool isSelected(int profile) const = 0;
    // The text typed, or "" when the engineer cancels.
    virtual std::string ask(std::string_view question) = 0;
};

} // namespace calc
