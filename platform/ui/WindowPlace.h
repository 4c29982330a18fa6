// Where the windows the program places by twips go. A place is given relative to the window's
// owner (the window it belongs to: the desktop's main window, the spreadsheet program's window
// for the add-in's dialogs), never in screen coordinates, and the window -- title bar and frame
// included -- is kept inside the available area of the owner's screen, so a window manager's
// title bar is never pushed above the screen nor a window past its edge. A window without an
// owner is placed on the primary screen.
#pragma once

#include <QRect>

class QWidget;

namespace platform::ui {

// Puts the top-left corner of the window's frame at the offset (in twips) from the top-left
// corner of the owner's client area and gives the window the size (in twips, its client area),
// then keeps it inside the screen; again once the window is first shown and its frame is known.
// owner null: the window's parent's window, else none.
void placeOnOwner(QWidget& window, const QRect& twips, QWidget* owner = nullptr);

// Moves the window so that its frame lies inside the available area of its screen; the size
// stays (a window larger than the area keeps its top-left corner inside).
void keepInsideScreen(QWidget& window);

} // namespace platform::ui
