// Converts the twips in which window and control positions are given (15 twips to a
// pixel) into pixels and back.
#pragma once

#include <QRect>
#include <QSize>

namespace platform::ui {

class Twips {
public:
    static constexpr int kPerPixel = 15;

    // Rounded to the nearest pixel; negative values keep their sign.
    static int toPixels(int twips);
    static int fromPixels(int pixels) { return pixels * kPerPixel; }

    static QSize size(int widthTwips, int heightTwips);
    static QRect rect(int leftTwips, int topTwips, int widthTwips, int heightTwips);
};

} // namespace platform::ui
