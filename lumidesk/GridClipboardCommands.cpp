// See GridClipboardCommands.h.
#include "lumidesk/GridClipboardCommands.h"

#include "core/AppTitle.h"
#include "platform/ui/Ui.h"

#include <QString>

namespace lumidesk {

namespace {

void notAvailable() {
    platform::ui::msgBox(
        QStringLiteral("Cut, copy and paste of grid cells is not available yet in this version of "
                       "Lumidesk."),
        platform::ui::Buttons::Ok, core::kAppTitle, platform::ui::Icon::Information);
}

} // namespace

void mnuPopupCutfrmConfig_Click() {
    notAvailable();
}
void mnuPopupCopyfrmConfig_Click() {
    notAvailable();
}
void mnuPopupPastefrmConfig_Click() {
    notAvailable();
}
void mnuPopupCopyfrmWizard_Click() {
    notAvailable();
}
void mnuPopupPastefrmWizard_Click() {
    notAvailable();
}

} // namespace lumidesk
