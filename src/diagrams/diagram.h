#pragma once

#include <QImage>

namespace diagrams {

// The atlas diagrams by resource number.
inline constexpr int c2a = 101;
inline constexpr int c4 = 102;

// The bitmap stored in the program under a resource number (8 bits a pixel,
// 256-colour palette); a null image for a number that has none.
QImage resourcePicture(int resource);

// The same drawing at twice the bitmap's detail, for screens with more pixels
// than 96 dots per inch; a null image for a number that has none.
QImage detailedPicture(int resource);

// Where a diagram is drawn, in twips of the picture area, held in single
// precision like every picture geometry value.
struct Placement {
    float left;
    float top;
    float width;
    float height;
};

// A picture of iw x ih twips in an area of bw x bh twips, without distortion:
// across the area's full width when the picture is wider than tall, else its
// full height, and centred. What falls outside the area is not shown, equally
// on both sides.
Placement place(float iw, float ih, float bw, float bh);

} // namespace diagrams
