// What the cycle's helper programs set up first, as the desktop program does at its start: a
// window system without screen, the scripted dialog service answering every question with its
// first button, the options with the budget "Plan" as context, and the connection descriptor
// of the local master database that LUMIVANE_COMMON_FILES leads to.
#pragma once

#include "core/cConnection.h"
#include "core/cOptions.h"
#include "platform/ui/Ui.h"
#include "support/ScriptedUi.h"

#include <memory>

namespace cyclehelper {

// Answers the scripted dialog service, which records the questions asked.
inline testsupport::ScriptedUi& setUpDesktopProgram() {
    auto owned = std::make_unique<testsupport::ScriptedUi>();
    owned->acceptUnscriptedMessages();
    testsupport::ScriptedUi& ui = *owned;
    platform::ui::installUi(std::move(owned));
    core::gOptions = std::make_unique<core::cOptions>();
    core::gOptions->BudgetNameContext = QStringLiteral("Plan");
    core::gCnn = std::make_unique<core::cConnection>();
    core::gCnn->LocalCnn();
    return ui;
}

} // namespace cyclehelper
