// See Edition.h.
#include "platform/sys/Edition.h"

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
    const QString name = QStringLiteral("Lumivane");
    return {name, name, name};
}

Edition Edition::addIn() {
    return {QStringLiteral("LumivaneXL"), QStringLiteral("Lumicell"), QStringLiteral("LumivaneXL")};
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
