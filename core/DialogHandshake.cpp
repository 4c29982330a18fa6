// The wait for a modeless logon or password dialog's outcome; see DialogHandshake.h.
#include "core/DialogHandshake.h"

#include "core/cOptions.h"
#include "platform/ui/EventPump.h"

#include <QPointer>

namespace core {

namespace {
constexpr double kPollSeconds = 1.0;
}

DialogAnswer WaitForDialogAnswer(QWidget* dialog, cOptions& options) {
    const QPointer<QWidget> watched(dialog);
    for (;;) {
        // Both flags are reset when both are found, so neither is left to end the next wait.
        if (options.SetPwd) {
            options.SetPwd = false;
            options.CancelPwd = false;
            return DialogAnswer::Confirmed;
        }
        if (options.CancelPwd) {
            options.CancelPwd = false;
            return DialogAnswer::Cancelled;
        }
        if (!watched || !watched->isVisible())
            return DialogAnswer::Cancelled;
        // Looks again as soon as window events have run (a handler has returned), and at the
        // latest after the poll interval.
        platform::ui::EventPump::pollFor(
            [&] { return options.SetPwd || options.CancelPwd || !watched || !watched->isVisible(); },
            kPollSeconds);
    }
}

DialogAnswer WaitForDialogAnswer(QWidget* dialog) {
    if (!gOptions)
        return DialogAnswer::Cancelled;
    return WaitForDialogAnswer(dialog, *gOptions);
}

} // namespace core
