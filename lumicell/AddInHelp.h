// The add-in's help: its own pages (a "help" folder in the add-in's folder, else the pages built
// into the add-in from lumicell/help/), shown in the help window of the process. Every window's
// Help (Build Budget, Sync, Run Budget, Configure) opens them on their contents page, which leads
// to the page of each window. The add-in installs its help when it starts and removes it, closing
// every help window, when it shuts down.
#pragma once

#include <QString>

namespace lumicell {

inline const QString kAddInHelpTitle = QStringLiteral("Lumicell Help");

void InstallAddInHelp();
void RemoveAddInHelp();

} // namespace lumicell
