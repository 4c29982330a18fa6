// See DialogHandler.h.
#include "lumicell/DialogHandler.h"

#include "core/ErrorMessage.h"
#include "core/frmWait.h"
#include "lumicell/AddIn.h"
#include "platform/sheet/Application.h"
#include "platform/ui/HelpViewer.h"
#include "platform/ui/Ui.h"

namespace lumicell {

void RunDialogHandler(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        core::frmWait::unload();
        core::ShowErrorMessage(error);
    }
    if (platform::sheet::Application* app = gXLApp())
        app->setScreenUpdating(true);
}

void ShowDialogHelp(const QString& formName) {
    if (platform::ui::helpPagesAvailable())
        platform::ui::showHelpPage(formName);
    else
        platform::ui::msgBox(kNoHelpText, platform::ui::Buttons::Ok, core::appTitle(),
                             platform::ui::Icon::Information);
}

} // namespace lumicell
