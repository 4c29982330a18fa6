// The title of the program's message boxes: "Lumivane" in the desktop program, "LumivaneXL"
// in the add-in, which builds the same routines (platform/sys/Edition.h). The generic error
// message without a title of its own shows the edition's application title.
#pragma once

#include "platform/sys/Edition.h"

#include <QString>

namespace core {

inline const QString& appTitle() {
    return platform::sys::edition().messageTitle;
}

inline const QString& applicationTitle() {
    return platform::sys::edition().applicationTitle;
}

} // namespace core
