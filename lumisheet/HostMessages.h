// The spreadsheet program's own messages: its title, and the texts it shows itself (the
// workbook layer's refusals are shown in the layer's words).
#pragma once

#include "platform/ui/Ui.h"

#include <QString>

namespace lumisheet {

inline const QString kHostTitle = QStringLiteral("Lumisheet");
// Shown after a workbook's name in the window's title while another program holds its file.
inline const QString kReadOnlyMark = QStringLiteral(" [Read-Only]");
inline const QString kSaveChangesQuestion =
    QStringLiteral("Do you want to save the changes you made to '%1'?");
// Save As of a workbook that a running operation of the add-in holds: the operation would save
// its work into the copy and leave the workbook it was started on without it.
inline const QString kHeldSaveAsText =
    QStringLiteral("The workbook '%1' cannot be saved under another name while an operation works on it. "
                   "Save it under another name when the operation has ended.");
inline const QString kPasswordPrompt = QStringLiteral("'%1' is protected.  Enter its password to open it:");
inline const QString kAutomationErrorText = QStringLiteral("The add-in stopped with an automation error.\n\n"
                                                           "Error %1: %2");
inline const QString kAddInNotLoadedText =
    QStringLiteral("The add-in %1 could not be loaded: %2\n\nLumisheet works without it.");

// A box titled kHostTitle.
inline platform::ui::Answer ShowHostMessage(const QString& text,
                                            platform::ui::Buttons buttons = platform::ui::Buttons::Ok,
                                            platform::ui::Icon icon = platform::ui::Icon::None) {
    return platform::ui::msgBox(text, buttons, kHostTitle, icon);
}

} // namespace lumisheet
