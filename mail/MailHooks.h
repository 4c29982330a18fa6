// The desktop program's services that the mail windows use without linking to the program:
// storing the address-import window's rows as users, and refreshing the Budgets Explorer's
// status grid after the mail status changed. The program installs them at start-up; until
// then (and in the add-in, which has no explorer) each request does nothing.
#pragma once

#include <functional>

namespace mail {

struct MailHooks {
    // Adds the rows of the loaded address-import window's target grid to the users table.
    std::function<void()> addAddressesToUsersData;
    // Re-reads the Budgets Explorer's status grid when the explorer is loaded.
    std::function<void()> refreshStatusGrid;

    bool complete() const;
};

void setMailHooks(MailHooks hooks);
const MailHooks& mailHooks();

// Re-reads the status grid of a loaded Budgets Explorer after the mail status of user files
// changed (mails sent, replies collected, due dates set or cleared); an explorer that is not
// loaded stays so. Failures are the caller's.
void RefreshExplorerStatusGrid();

} // namespace mail
