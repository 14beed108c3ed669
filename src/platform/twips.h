#pragma once

#include <QRect>

// The window is laid out in twips, 1/1440 inch. Qt's logical pixels are 1/96
// inch, so 15 twips make one; on a high-density screen Qt scales logical
// pixels by the device pixel ratio, which keeps the layout's proportions.
namespace platform {

inline constexpr int twipsPerPixel = 15;

constexpr int twipsToPixels(int twips)
{
    // Round half away from zero so that a layout drawn on a 15-twip grid maps
    // exactly and anything in between lands on the nearest pixel.
    return twips >= 0 ? (twips + twipsPerPixel / 2) / twipsPerPixel
                      : -((-twips + twipsPerPixel / 2) / twipsPerPixel);
}

constexpr double pixelsToTwips(double pixels) { return pixels * twipsPerPixel; }

struct TwipsRect {
    int left;
    int top;
    int width;
    int height;
};

constexpr QRect toPixels(TwipsRect r)
{
    return QRect(twipsToPixels(r.left), twipsToPixels(r.top), twipsToPixels(r.width),
                 twipsToPixels(r.height));
}

} // namespace platform
