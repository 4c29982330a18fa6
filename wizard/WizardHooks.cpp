// See WizardHooks.h.
#include "wizard/WizardHooks.h"

#include "platform/sys/ProgramHook.h"

namespace wizard {

namespace {
platform::sys::ProgramHook<WizardHooks> installed("wizard's program routines");
} // namespace

bool WizardHooks::complete() const {
    return setBudgetContextAndRefresh && grantedBudgetContext && createBudgetRecord && importContactAddresses;
}

void setWizardHooks(WizardHooks hooks) {
    installed.install(std::move(hooks));
}

const WizardHooks& wizardHooks() {
    return installed.current();
}

} // namespace wizard
