// The line that says what a big action did ("4 user files cut", "4 mails sent"), shown where
// the user looks after it without a message box to close: in the status label ("lblStatus") of
// the window that ran the action when that window has one (the add-in's dialogs), else in the
// status bar of the menu host (the desktop's main window). The line stays until the next one
// replaces it; with neither place (a test without windows) it goes nowhere.
#pragma once

#include <QString>

class QWidget;

namespace platform::ui {

// The object name of a window's own status label.
inline const QString kStatusLabelName = QStringLiteral("lblStatus");

void showStatusLine(QWidget* from, const QString& text);

// The line shown last, wherever it went; empty before the first.
QString lastStatusLine();

// A count with its noun: "1 mail", "4 mails", "no mails".
QString countOf(int count, const QString& one, const QString& many);

} // namespace platform::ui
