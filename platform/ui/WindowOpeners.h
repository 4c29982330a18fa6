// Windows of one subsystem that another opens by form name without linking to it: the
// program registers an opener for each such window at start-up (the Budgets Explorer, the
// address-import window, ...), and a lower layer asks for the window by its name. A window
// without a registered opener is not opened and the caller hears so.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace platform::ui {

// Shows the window, owned by owner (or without owner when null); true when shown.
using WindowOpener = std::function<bool(QWidget* owner)>;

// Registers the opener of a form name (replacing an earlier one); an empty opener removes it.
void setWindowOpener(const QString& formName, WindowOpener opener);

// Whether an opener is registered for the form name.
bool hasWindowOpener(const QString& formName);

// Opens the window of that form name; false when no opener is registered or it failed.
bool openWindow(const QString& formName, QWidget* owner = nullptr);

} // namespace platform::ui
