// Twips to pixels.
#include "platform/ui/Twips.h"

#include <cmath>

namespace platform::ui {

int Twips::toPixels(int twips) {
    return static_cast<int>(std::lround(static_cast<double>(twips) / kPerPixel));
}

QSize Twips::size(int widthTwips, int heightTwips) {
    return {toPixels(widthTwips), toPixels(heightTwips)};
}

QRect Twips::rect(int leftTwips, int topTwips, int widthTwips, int heightTwips) {
    return {QPoint(toPixels(leftTwips), toPixels(topTwips)), size(widthTwips, heightTwips)};
}

} // namespace platform::ui
