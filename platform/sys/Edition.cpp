// See Edition.h.
#include "platform/sys/Edition.h"

#include "platform/sys/SettingsStore.h"

#include <optional>
#include <stdexcept>

namespace platform::sys {

namespace {

std::optional<Edition>& chosen() {
    static std::optional<Edition> value;
    return value;
}

} // namespace

Edition Edition::desktop() {
    return {kDesktopApplication, kDesktopApplication, kDesktopApplication};
}

Edition Edition::addIn() {
    return {kAddInApplication, QStringLiteral("Lumicell"), kAddInApplication};
}

const Edition& edition() {
    static const Edition desktopEdition = Edition::desktop();
    return chosen() ? *chosen() : desktopEdition;
}

void setEdition(const Edition& value) {
    if (chosen() && !(*chosen() == value))
        throw std::logic_error("the program's edition is set already");
    chosen() = value;
}

} // namespace platform::sys
