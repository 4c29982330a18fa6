// What the rest of the desktop program calls of the administration subsystem besides the
// string scrambling (StringScrambling.h): the configuration window, the network logon window,
// the network database creation (NetworkDatabase.h), the per-budget grant check
// (BudgetPermissions.h), the migration window and the super-administrator console.
//
// The configuration window is not built yet: until it is, ShowConfigure tells the user that
// it is not available and answers false.
#pragma once

#include "admin/BudgetPermissions.h"
#include "admin/NetworkDatabase.h"

#include <QString>

class QWidget;

namespace admin {

// The form names under which the windows would be loaded.
inline const QString kConfigureFormName = QStringLiteral("frmConfigure");
inline const QString kLogonFormName = QStringLiteral("frmLogon");
inline const QString kMigrateFormName = QStringLiteral("frmMigrate");
inline const QString kSuperAdminFormName = QStringLiteral("frmSuperAdmin");

// Shows the configuration window frmConfigure modeless, owned by owner (without owner when
// null); tab 0 to 4 selects a tab of SSTab1, -1 leaves it. True when shown.
bool ShowConfigure(QWidget* owner, int tab = -1);

// Shows the logon window frmLogon modeless without owner (frmLogon.h). While it is up it sets
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
