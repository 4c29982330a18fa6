// See ProgramHook.h: the process-wide list of hooks, filled while static objects are made.
#include "platform/sys/ProgramHook.h"

namespace platform::sys {

namespace {

struct Registered {
    const char* name;
    std::function<bool()> installed;
};

std::vector<Registered>& registry() {
    static std::vector<Registered> hooks;
    return hooks;
}

} // namespace

HookRegistration::HookRegistration(const char* name, std::function<bool()> installed) {
    registry().push_back({name, std::move(installed)});
}

std::vector<HookState> programHooks() {
    std::vector<HookState> states;
    for (const Registered& hook : registry())
        states.push_back({QString::fromUtf8(hook.name), hook.installed()});
    return states;
}

} // namespace platform::sys
