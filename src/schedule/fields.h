#pragma once

// The texts of a schedule's fields and figures: a field read as the
// engineer typed it (blanks around it, the full-width forms of a Chinese
// input method, a plain decimal number) and a figure written as the results
// show it, exactly, in no locale's notation.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace schedule {

// The blanks a field may have around it: spaces and tabs, no other.
inline constexpr std::string_view blanks = " \t";
// A field without the blanks around it.
std::string_view trimmed(std::string_view text);
// A text with the full-width forms a Chinese input method types (U+FF01 to
// U+FF5E: "１００", "Ｃ４") and its ideographic space as their ASCII.
std::string asciiForms(std::string_view text);
// A text's parts between separators; none for "" (the texts the page and a
// site link hand over, whose separators can never be typed).
std::vector<std::string_view> splitAt(std::string_view text, char separator);

// Whether a text is wholly a plain decimal number ("12", "-0.5", "1e5",
// blanks around it allowed), as a schedule field must be.
bool plainNumber(std::string_view text);
// Its value, read exactly and in no locale's notation; none where it is no
// plain number or lies beyond a double.
std::optional<double> plainValue(std::string_view text);

// A figure to `decimals` places as the results show it: the double's exact
// decimal expansion rounded (an exact half to even), the point a "." in any
// locale.
std::string fixed(double value, int decimals);

// A shown elongation ("135.4", mm) less or more `percent` per cent, to 0.1 mm
// as the site reads its limits, halves up.
std::string elongationLimit(std::string_view shown, int percent);

} // namespace schedule
