// What the wizard needs of the desktop program's own routines, installed by the program at
// start-up so that this subsystem never depends on the program's windows: making the chosen
// budget the context (with the network permission check) and refreshing the open windows,
// the permission check alone for a deletion on the network database, and the two steps of the
// QuickStart build that belong to the program and the mail windows: the budget record of a
// dropped workbook and the hidden address import.
#pragma once

#include <QString>
#include <QtGlobal>
#include <functional>

namespace wizard {

struct WizardHooks {
    // Takes gOptions.BudgetNameContext as the context, saves it and refreshes the windows.
    std::function<void()> setBudgetContextAndRefresh;
    // Makes the budget the context when the logged-on administrator holds its grant; false
    // after the refusal message otherwise.
    std::function<bool(const QString& budget)> grantedBudgetContext;
    // Creates (or reuses) the QuickStart window's project budget, adds the workbook as its
    // master file and makes the budget the context. 0 when done; anything else means the
    // record was refused or failed, after its own message.
    std::function<qint32(const QString& fileName, const QString& folder)> createBudgetRecord;
    // Reads the addresses of the contacts folder's "Contacts" book through the address-import
    // window, loaded hidden, and adds the new ones as users.
    std::function<void()> importContactAddresses;

    bool complete() const;
};

void setWizardHooks(WizardHooks hooks);
// The installed routines (the wizard's own tests run it with some of them only).
const WizardHooks& wizardHooks();

} // namespace wizard
