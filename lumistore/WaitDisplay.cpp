// See WaitDisplay.h and WaitWindowHooks.h.
#include "lumistore/WaitDisplay.h"

#include "platform/sys/ProgramHook.h"

namespace lumistore {

namespace {
platform::sys::ProgramHook<WaitWindowHooks> installed("data store library's wait window");
} // namespace

void setWaitWindowHooks(WaitWindowHooks hooks) {
    installed.install(std::move(hooks));
}

WaitDisplay::WaitDisplay()
    : hooks_(installed.installed() ? installed.current() : WaitWindowHooks{}) {
    if (hooks_.open)
        hooks_.open();
}

WaitDisplay::~WaitDisplay() {
    if (hooks_.close)
        hooks_.close();
}

void WaitDisplay::step(const QString& table, const QString& operation, int maximum, int value) {
    if (hooks_.step)
        hooks_.step(table, operation, maximum, value);
}

} // namespace lumistore
