#pragma once

#include <QColor>
#include <QFont>

namespace window::looks {

// The window's default face for captions and boxes: the Song face at 9 pt,
// the size Chinese desktop programs use, so that every caption fits its twips
// rectangle.
QFont defaultFont();

// "宋体" 12 pt bold for the status line, the result and the calculate button.
// Where no SimSun is installed, an installed CJK serif (Song/Ming) face stands
// in, so the Chinese renders in the same style.
QFont boldSongFont();

// The small face of the four-line credits block.
QFont creditsFont();

inline const QColor red{255, 0, 0};

} // namespace window::looks
