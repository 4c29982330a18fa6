// What the rest of the desktop program calls of the administration subsystem besides the
// string scrambling (StringScrambling.h): the configuration window, and the network logon
// window, the network database creation, the per-budget grant check, the migration window,
// the super-administrator console and the presence check of a network database.
//
// The configuration window is built (frmConfigure.h). The network parts are not built yet.
// Until they are, each of those routines tells the user that it is not available and answers
// with its failure value: no window is shown, no logon happens (the program works on the
// local database), no budget is granted, no network choice is taken.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace admin {

// The form names under which the windows would be loaded.
inline const QString kConfigureFormName = QStringLiteral("frmConfigure");
inline const QString kLogonFormName = QStringLiteral("frmLogon");
inline const QString kMigrateFormName = QStringLiteral("frmMigrate");
inline const QString kSuperAdminFormName = QStringLiteral("frmSuperAdmin");

// Shows the configuration window frmConfigure modeless, owned by owner (without owner when
// null), loading it when it is not loaded; tab 0 to 4 selects a tab of SSTab1, -1 leaves it.
// True when shown.
bool ShowConfigure(QWidget* owner, int tab = -1);

// Loads the configuration window without showing it (when it is not loaded), owned by owner,
// with all four grids filled, as the print of its grids needs it.
void LoadConfigure(QWidget* owner);

// Shows the configuration window modal on a tab (as the mail fetch does when no default
// mail robot exists) and returns once it has closed.
void ShowConfigureModal(QWidget* owner, int tab);

// Fills the grids of the loaded configuration window again from their tables (after the
// main window's clean-up commands emptied them); nothing when it is not loaded.
void RefillConfigureGrids();

// The sample-budget installation that the configuration window's "Install Sample Budget"
// runs; the program installs it at start-up (the budget wizard does the work). True when the
// sample budget was installed.
using SampleInstaller = std::function<bool()>;
void setSampleInstaller(SampleInstaller installer);
bool RunSampleInstaller();

// Whether the network database may be chosen as the database opened by default. Not
// available yet: says so and answers False, so the local database stays the default.
bool NetworkChoiceAvailable();

// True when no other administrator is connected to the network database now, so the
// database may be compacted or restored. Not available yet: says so and answers False.
bool NoOtherAdministratorConnected();

// Shows the logon window frmLogon modeless without owner. While it is up it sets
// gOptions.SetPwd after an accepted logon and gOptions.CancelPwd when cancelled. False when
// it could not be shown: the caller then goes on as after a cancelled logon.
bool ShowLogon();

// Unloads the logon window when it is loaded.
void UnloadLogon();

// Turns the copied master database at path into the network database and logs its first
// super-administrator on. True when it was made.
bool CreateNetworkDatabase(QString& path);

// Checks the administrator's grant for the budget; on a grant makes it the budget context.
// mode 1 words a refusal for browsing, any other mode for the budget itself.
bool SetBudgetContext(const QString& budget, const QString& administrator, int& mode);

// Shows the budget migration window frmMigrate modeless, owned by owner. True when shown.
bool ShowMigrate(QWidget* owner);

// Shows the super-administrator console frmSuperAdmin modeless, owned by owner. True when shown.
bool ShowSuperAdmin(QWidget* owner);

} // namespace admin
