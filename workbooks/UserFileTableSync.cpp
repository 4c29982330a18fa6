// See UserFileTableSync.h.
#include "workbooks/UserFileTableSync.h"

#include "core/AppTitle.h"
#include "platform/ui/Ui.h"

namespace workbooks {

namespace {
std::function<void()>& installed() {
    static std::function<void()> sync;
    return sync;
}
} // namespace

void setUserFileTableSync(std::function<void()> sync) {
    installed() = std::move(sync);
}

void SyncUserFileTable() {
    if (installed()) {
        installed()();
        return;
    }
    platform::ui::msgBox(kSyncNotAvailableText, platform::ui::Buttons::Ok, core::appTitle(),
                         platform::ui::Icon::Information);
}

} // namespace workbooks
