// The wait window as the worksheet tabs show it while they work: their caption, the label pairs
// they name shown and every other one hidden, the progress bar at 0 with its display on, modeless
// with the hourglass. The window is unloaded by whoever ends the run.
#pragma once

#include <QLabel>
#include <QList>
#include <QString>

namespace core {
class frmWait;
}

namespace lumicell {

// A label of the wait window (&frmWait::lblWorksheet).
using WaitLabel = QLabel* (core::frmWait::*)() const;

core::frmWait& ShowWaitWindow(const QString& caption, const QList<WaitLabel>& shown);

// Writes one step: the operation text, the worksheet, the progress; then repaints the window.
void ShowWaitProgress(const QString& operation, const QString& worksheet, int value, int maximum);

} // namespace lumicell
