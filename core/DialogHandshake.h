// The wait for a modeless logon or password dialog. Such a dialog reports its outcome
// through the options object: SetPwd when its work is confirmed, CancelPwd when the user
// cancels. The code that showed it waits here, looking at both flags once a second while
// window events go through (so the dialog's own handlers run), and resets the flag it
// found. A dialog closed by its close box, hidden or destroyed without either flag counts
// as Cancel, so no wait can outlive its dialog.
#pragma once

#include <QWidget>

namespace core {

class cOptions;

enum class DialogAnswer { Confirmed, Cancelled };

// Waits on the flags of the given options object. Show the dialog before calling.
// A flag is looked at only between pauses, never from inside a handler of the dialog, so
// a logon window that sets SetPwd at the start of its OK handler and takes it back when
// the logon fails is not mistaken for a confirmation.
DialogAnswer WaitForDialogAnswer(QWidget* dialog, cOptions& options);

// The same on the program's options object, gOptions; Cancelled when there is none.
DialogAnswer WaitForDialogAnswer(QWidget* dialog);

} // namespace core
