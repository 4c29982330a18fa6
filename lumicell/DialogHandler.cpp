// See DialogHandler.h.
#include "lumicell/DialogHandler.h"

#include "core/ErrorMessage.h"
#include "core/frmWait.h"
#include "lumicell/AddIn.h"
#include "platform/sheet/Application.h"

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

} // namespace lumicell
