// The wait window as the mail runs show it: only the label pairs they name visible, the
// operation text, and the progress bar either shown at 0 of 0 or hidden.
#pragma once

#include "core/frmWait.h"

#include <QList>

class QLabel;

namespace mail {

enum class Progress { Shown, Hidden };

// Loads and shows the wait window with the operation pair and the given labels visible.
core::frmWait& ShowMailWait(const QString& operation, const QList<QLabel*>& alsoShown, Progress progress);

} // namespace mail
