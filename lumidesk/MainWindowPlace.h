// The main window's display class and window place. At each load the screen's width decides
// the display class ("1024", "800" or "Other"); when it differs from the class stored last
// time, the class's resize and scroll-bar choices are applied and stored. The window's place
// and size are kept in the settings in twips between runs, with a least width and height.
#pragma once

#include <QString>

namespace lumidesk {

inline const QString kDisplay1024 = QStringLiteral("1024");
inline const QString kDisplay800 = QStringLiteral("800");
inline const QString kDisplayOther = QStringLiteral("Other");

// The class of a screen this many pixels wide.
QString DisplayClassFor(int screenWidthPixels);

// Applies and stores the class of the screen when "Options" "Resolution" is empty or names
// another class: sets gOptions' ScrollBars and Resize and writes the keys the class writes.
// When the stored class is the screen's, nothing is written and the fields stay.
void ApplyDisplayClass(int screenWidthPixels);

// A window place in twips.
struct WindowPlace {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

inline constexpr WindowPlace kDefaultWindowPlace{1440, 1785, 12780, 10140};

// The stored place ("Runtime" "MainLeft", "MainTop", "MainWidth", "MainHeight"): a width of
// 12600 or less becomes 12540, a height of 9700 or less becomes 9600; left and top as stored.
// A missing or unreadable value reads as its default.
WindowPlace StoredWindowPlace();

// Writes the place as decimal text.
void SaveWindowPlace(const WindowPlace& place);

} // namespace lumidesk
