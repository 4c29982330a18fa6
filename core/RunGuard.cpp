// Counts the runs under way and marks them on the master database; see RunGuard.h.
#include "core/RunGuard.h"

#include "platform/db/Presence.h"
#include "platform/ui/Ui.h"

#include <memory>

namespace core {

namespace {

int& runCount() {
    static int count = 0;
    return count;
}

// The presence through which the first token marked the run; unmarked by the last one, on the
// same hold even when the program has changed databases meanwhile.
std::shared_ptr<platform::db::PresenceHold>& markedHold() {
    static std::shared_ptr<platform::db::PresenceHold> hold;
    return hold;
}

std::function<std::shared_ptr<platform::db::PresenceHold>()>& presenceLookup() {
    static std::function<std::shared_ptr<platform::db::PresenceHold>()> lookup;
    return lookup;
}

std::shared_ptr<platform::db::PresenceHold> programPresence() {
    return presenceLookup() ? presenceLookup()() : nullptr;
}

} // namespace

RunGuard::Token::Token() {
    if (runCount()++ > 0)
        return;
    markedHold() = programPresence();
    if (markedHold())
        markedHold()->markRun(true);
}

RunGuard::Token::~Token() {
    if (--runCount() > 0)
        return;
    if (markedHold())
        markedHold()->markRun(false);
    markedHold().reset();
}

void RunGuard::setPresenceLookup(std::function<std::shared_ptr<platform::db::PresenceHold>()> lookup) {
    presenceLookup() = std::move(lookup);
}

bool RunGuard::isRunning() {
    if (runCount() > 0)
        return true;
    const std::shared_ptr<platform::db::PresenceHold> presence = programPresence();
    return presence && presence->otherProgramRuns();
}

bool RunGuard::refuseDuringRun(const QString& title) {
    if (!isRunning())
        return false;
    platform::ui::msgBox(kRefusedText, platform::ui::Buttons::Ok, title, platform::ui::Icon::Exclamation);
    return true;
}

} // namespace core
