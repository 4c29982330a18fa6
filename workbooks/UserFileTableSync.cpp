// See UserFileTableSync.h.
#include "workbooks/UserFileTableSync.h"

#include "platform/sys/ProgramHook.h"

namespace workbooks {

namespace {
platform::sys::ProgramHook<std::function<void()>> installed("user-file register sync");
} // namespace

void setUserFileTableSync(std::function<void()> sync) {
    installed.install(std::move(sync));
}

void SyncUserFileTable() {
    installed.get()();
}

} // namespace workbooks
