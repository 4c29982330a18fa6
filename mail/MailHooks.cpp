// See MailHooks.h.
#include "mail/MailHooks.h"

#include "core/SystemOps.h"

namespace mail {

namespace {
MailHooks& installed() {
    static MailHooks hooks;
    return hooks;
}
} // namespace

void setMailHooks(MailHooks hooks) {
    installed() = std::move(hooks);
}

const MailHooks& mailHooks() {
    return installed();
}

void RefreshExplorerStatusGrid() {
    if (core::IsFormLoaded(QStringLiteral("frmDataTable")) && installed().refreshStatusGrid)
        installed().refreshStatusGrid();
}

} // namespace mail
