#pragma once

#include "diagrams/atlas.h"

#include <QImage>

namespace diagrams {

// The bitmap stored in the program under a resource number (8 bits a pixel,
// 256-colour palette); a null image for a number that has none.
QImage resourcePicture(int resource);

// The same drawing at twice the bitmap's detail, for screens with more pixels
// than 96 dots per inch; a null image for a number that has none.
QImage detailedPicture(int resource);

} // namespace diagrams
