// The information page of the program's controls, which the control support library supplies:
// Shift+F1 on a data grid, list box, combo box or explorer tree asks for it through the window
// openers (WindowOpeners.h) under its form name, owned by the control's window. The programs
// register the library's page under that name at start-up; without it the key does nothing.
#pragma once

#include <QString>

class QWidget;

namespace platform::ui {

inline const QString kControlInfoPageForm = QStringLiteral("CorvInfoPPG");

// Gives the control the key that opens the page.
void offerControlInfoPage(QWidget& control);

} // namespace platform::ui
