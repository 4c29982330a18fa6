// See MailHooks.h.
#include "mail/MailHooks.h"

#include "core/SystemOps.h"
#include "platform/sys/ProgramHook.h"

namespace mail {

namespace {
platform::sys::ProgramHook<MailHooks> installed("mail windows' program routines");
} // namespace

bool MailHooks::complete() const {
    return addAddressesToUsersData && refreshStatusGrid;
}

void setMailHooks(MailHooks hooks) {
    installed.install(std::move(hooks));
}

const MailHooks& mailHooks() {
    return installed.current();
}

void RefreshExplorerStatusGrid() {
    if (core::IsFormLoaded(QStringLiteral("frmDataTable")) && installed.current().refreshStatusGrid)
        installed.current().refreshStatusGrid();
}

} // namespace mail
