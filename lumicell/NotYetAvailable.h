// What the add-in's commands say where the window they open is not part of this version yet
// (the Build Budget dialog, the Run Budget dialog, the configuration window): a message that
// names the window, titled as the add-in's messages are, and nothing else happens.
#pragma once

#include <QString>

namespace lumicell {

// "<what> is not available yet in this version of Lumicell."
QString NotYetAvailableText(const QString& what);
void SayNotYetAvailable(const QString& what);

} // namespace lumicell
