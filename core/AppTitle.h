// The title of the program's message boxes. The desktop program's boxes say "Lumivane";
// the add-in builds the same routines with its own title.
#pragma once

#include <QString>

namespace core {

inline const QString kAppTitle = QStringLiteral("Lumivane");
inline const QString kAddInTitle = QStringLiteral("LumivaneXL");

} // namespace core
