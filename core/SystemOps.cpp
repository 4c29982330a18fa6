// The counted hourglass, the pause and the loaded-window test; see SystemOps.h.
#include "core/SystemOps.h"

#include "platform/ui/BusyPointer.h"
#include "platform/ui/EventPump.h"
#include "platform/ui/LoadedWindows.h"

namespace core {

void SetBusyPointer(qint16 pointer) {
    platform::ui::BusyPointer::set(pointer);
}

void Pause(float seconds) {
    platform::ui::EventPump::pause(seconds);
}

bool IsFormLoaded(const QString& name) {
    return platform::ui::LoadedWindows::isLoaded(name);
}

} // namespace core
