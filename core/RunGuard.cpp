// Counts the runs under way; see RunGuard.h.
#include "core/RunGuard.h"

#include "platform/ui/Ui.h"

namespace core {

namespace {
int& runCount() {
    static int count = 0;
    return count;
}
} // namespace

RunGuard::Token::Token() {
    ++runCount();
}

RunGuard::Token::~Token() {
    --runCount();
}

bool RunGuard::isRunning() {
    return runCount() > 0;
}

bool RunGuard::refuseDuringRun(const QString& title) {
    if (!isRunning())
        return false;
    platform::ui::msgBox(kRefusedText, platform::ui::Buttons::Ok, title, platform::ui::Icon::Exclamation);
    return true;
}

} // namespace core
