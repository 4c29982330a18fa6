// See WizardHooks.h.
#include "wizard/WizardHooks.h"

namespace wizard {

namespace {
WizardHooks& installed() {
    static WizardHooks hooks;
    return hooks;
}
} // namespace

void setWizardHooks(WizardHooks hooks) {
    installed() = std::move(hooks);
}

const WizardHooks& wizardHooks() {
    return installed();
}

} // namespace wizard
