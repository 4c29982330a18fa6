// How the add-in's dialogs run their handlers: a failure ends the handler with the generic
// error message under the add-in's application title ("Lumicell"), closes the wait window a
// long step may have left up, and the spreadsheet program's screen updating is switched back
// on whether or not the handler failed. Also the dialogs' Help.
#pragma once

#include <QString>
#include <functional>

namespace lumicell {

void RunDialogHandler(const std::function<void()>& handler);

// A dialog's Help: its help page, or, while the program shows no help pages for the add-in,
// kNoHelpText.
inline const QString kNoHelpText =
    QStringLiteral("The help pages are not available yet in this version of Lumicell.");
void ShowDialogHelp(const QString& formName);

} // namespace lumicell
