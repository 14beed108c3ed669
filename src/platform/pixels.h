#pragma once

// A rectangle of the window's design in Qt's logical pixels.

#include "platform/twips.h"

#include <QRect>

namespace platform {

constexpr QRect toPixels(TwipsRect r)
{
    return QRect(twipsToPixels(r.left), twipsToPixels(r.top), twipsToPixels(r.width),
                 twipsToPixels(r.height));
}

} // namespace platform
