// The program's help pages as the windows of the lower layers reach them: a window's Help
// button shows its page and a closing window may close every help window. The program
// installs its help window at start-up; until then both requests do nothing.
#pragma once

#include <QString>
#include <functional>

namespace platform::ui {

struct HelpViewer {
    std::function<void(const QString& page)> showPage; // a window's page, by its form name
    std::function<void()> closeAll;

    bool complete() const;
};

void installHelpViewer(HelpViewer viewer);

// Shows the help page of that form name.
void showHelpPage(const QString& formName);
// Closes every help window.
void closeHelpWindows();

} // namespace platform::ui
