// Unloads a window of the program by its form name, as the upkeep commands do before they
// pull the database from under the windows that show it. The window's own close handling
// runs (it saves its settings) and the window is then destroyed. A window that is not
// loaded is left alone; one that refuses to close stays.
#pragma once

#include <QString>

namespace core {

// True when no window of that name is loaded afterwards.
bool UnloadForm(const QString& name);

} // namespace core
