// See NetworkCommands.h.
#include "lumidesk/NetworkCommands.h"

#include "core/AppTitle.h"
#include "platform/ui/Ui.h"

#include <QString>

namespace lumidesk {

namespace {

void notAvailable(const QString& what) {
    platform::ui::msgBox(what + QStringLiteral(" is not available yet in this version of Lumidesk."),
                         platform::ui::Buttons::Ok, core::kAppTitle, platform::ui::Icon::Information);
}

} // namespace

void mnuLogon_Click(QWidget*) {
    notAvailable(QStringLiteral("The network logon"));
}

void mnuMakeNetDB_Click(QWidget*) {
    notAvailable(QStringLiteral("Making a network database"));
}

void mnuSAConfig_Click(QWidget*) {
    notAvailable(QStringLiteral("The super-administrator console"));
}

void mnuMigrateBudgets_Click(QWidget*) {
    notAvailable(QStringLiteral("Migrating budgets"));
}

} // namespace lumidesk
