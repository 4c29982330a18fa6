// What the rest of the desktop program calls of the administration subsystem: the
// configuration window (frmConfigure.h), the network logon window (frmLogon.h), the network
// database creation (NetworkDatabase.h), the per-budget grant check (BudgetPermissions.h), the
// migration window and the super-administrator console (frmSuperAdmin.h). The presence check of the network
// database belongs to the core services (core/SharedDatabase.h), since compaction and restore make it.
#pragma once

#include "admin/BudgetPermissions.h"
#include "admin/NetworkDatabase.h"

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
// sample budget was installed; throws platform::sys::HookNotInstalled when none is installed.
using SampleInstaller = std::function<bool()>;
void setSampleInstaller(SampleInstaller installer);
bool RunSampleInstaller();

// Shows the logon window frmLogon modeless without owner. While it is up it sets
// gOptions.SetPwd after an accepted logon and gOptions.CancelPwd when cancelled. False when
// it could not be shown: the caller then goes on as after a cancelled logon.
bool ShowLogon();

// Unloads the logon window when it is loaded.
void UnloadLogon();

// Shows the budget migration window frmMigrate modeless, owned by owner. True when shown.
bool ShowMigrate(QWidget* owner);

// Shows the super-administrator console frmSuperAdmin modeless, owned by owner. True when shown.
bool ShowSuperAdmin(QWidget* owner);

} // namespace admin
