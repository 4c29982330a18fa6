// Window ownership of the add-in's windows: each one, when it loads, becomes a window owned by
// the spreadsheet program's main window (the Application's main window), so it stays with it,
// above it and minimised with it. Without a main window (none was given, or it has gone) the
// window stays a window of its own.
#pragma once

class QWidget;

namespace lumicell {

// The spreadsheet program's main window; null without one.
QWidget* ExcelWindow();

// Makes the window owned by the main window, keeping it a window of its own kind.
void ParentToExcel(QWidget& window);

} // namespace lumicell
