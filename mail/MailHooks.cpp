// See MailHooks.h.
#include "mail/MailHooks.h"

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

} // namespace mail
