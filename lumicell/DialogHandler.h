// How the add-in's dialogs run their handlers: a failure ends the handler with the generic
// error message under the add-in's application title ("Lumicell"), closes the wait window a
// long step may have left up, and the spreadsheet program's screen updating is switched back
// on whether or not the handler failed.
#pragma once

#include <QString>
#include <functional>

namespace lumicell {

void RunDialogHandler(const std::function<void()>& handler);

} // namespace lumicell
