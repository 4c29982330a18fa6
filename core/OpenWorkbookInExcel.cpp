// See OpenWorkbookInExcel.h: the opener hook.
#include "core/OpenWorkbookInExcel.h"

#include "platform/sys/ProgramHook.h"

namespace core {

namespace {

platform::sys::ProgramHook<WorkbookOpener> opener("workbook opener");

} // namespace

void setWorkbookOpener(WorkbookOpener replacement) {
    opener.install(std::move(replacement));
}

void OpenWorkbookInExcel(const QString& name) {
    // A copy, so an opener that installs another one while it runs stays alive to its end.
    const WorkbookOpener run = opener.get();
    run(name);
}

} // namespace core
