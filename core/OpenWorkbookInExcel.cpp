// See OpenWorkbookInExcel.h: the settable opener and its not-available default.
#include "core/OpenWorkbookInExcel.h"

#include "core/AppTitle.h"
#include "platform/ui/Ui.h"

namespace core {

namespace {

void notAvailable(const QString& name) {
    Q_UNUSED(name);
    platform::ui::msgBox(kOpenWorkbookNotAvailableText, platform::ui::Buttons::Ok, appTitle(),
                         platform::ui::Icon::Information);
}

WorkbookOpener& opener() {
    static WorkbookOpener installed = notAvailable;
    return installed;
}

} // namespace

void setWorkbookOpener(WorkbookOpener replacement) {
    opener() = replacement ? std::move(replacement) : WorkbookOpener(notAvailable);
}

void OpenWorkbookInExcel(const QString& name) {
    // A copy, so an opener that installs another one while it runs stays alive to its end.
    const WorkbookOpener run = opener();
    run(name);
}

} // namespace core
