// How the data store library reaches the caller's dialogs. The library carries its own
// copies of the platform layers, so its messages would otherwise go to a dialog service of
// its own. The classes that ask the user something (cClean, cDelete) have an inline
// constructor that runs in the caller and hands over the caller's platform::ui::ui, so
// every message of the library goes through the service the caller has installed at that
// moment (the Qt dialogs, or a test's scripted double).
#pragma once

#include "lumistore/LumistoreExport.h"
#include "platform/ui/Ui.h"

namespace lumistore::detail {

using HostUi = platform::ui::Ui& (*)();

// Makes the library's messages go through hostUi from now on; null changes nothing.
LUMISTORE_EXPORT void bindHostUi(HostUi hostUi);

} // namespace lumistore::detail
