// See NotYetAvailable.h.
#include "lumicell/NotYetAvailable.h"

#include "core/AppTitle.h"
#include "platform/ui/Ui.h"

namespace lumicell {

QString NotYetAvailableText(const QString& what) {
    return what + QStringLiteral(" is not available yet in this version of Lumicell.");
}

void SayNotYetAvailable(const QString& what) {
    platform::ui::msgBox(NotYetAvailableText(what), platform::ui::Buttons::Ok, core::appTitle(),
                         platform::ui::Icon::Information);
}

} // namespace lumicell
