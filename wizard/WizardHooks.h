// What the wizard needs of the desktop program's own routines, installed by the program at
// start-up so that this subsystem never depends on the program's windows: making the chosen
// budget the context (with the network permission check) and refreshing the open windows,
// and the permission check alone for a deletion on the network database.
#pragma once

#include <QString>
#include <functional>

namespace wizard {

struct WizardHooks {
    // Takes gOptions.BudgetNameContext as the context, saves it and refreshes the windows.
    std::function<void()> setBudgetContextAndRefresh;
    // Makes the budget the context when the logged-on administrator holds its grant; false
    // after the refusal message otherwise.
    std::function<bool(const QString& budget)> grantedBudgetContext;
};

void setWizardHooks(WizardHooks hooks);
const WizardHooks& wizardHooks();

} // namespace wizard
