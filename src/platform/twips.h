#pragma once

// The window is laid out in twips, 1/1440 inch. Qt's logical pixels are 1/96
// inch, so 15 twips make one; on a high-density screen Qt scales logical
// pixels by the device pixel ratio, which keeps the layout's proportions. The
// page's CSS pixels are 1/96 inch too. (Plain C++: the page lays out the
// window from the same table.)
namespace platform {

inline constexpr int twipsPerPixel = 15;

// Layout values are positions and sizes within the window, never negative. A
// layout drawn on the 15-twip grid maps exactly; anything in between lands on
// the nearest pixel.
constexpr int twipsToPixels(int twips) { return (twips + twipsPerPixel / 2) / twipsPerPixel; }

constexpr double pixelsToTwips(double pixels) { return pixels * twipsPerPixel; }

struct TwipsRect {
    int left;
    int top;
    int width;
    int height;
};

} // namespace platform
