// The small routines every subsystem uses beside the wait window: a counted hourglass, a
// pause that keeps the windows alive, and a test whether a window is loaded that never
// loads it. They keep the program's own names over the platform layer's event pump, busy
// pointer and window list. PollCancel lives with the wait window (frmWait.h).
#pragma once

#include <QString>
#include <QtGlobal>

namespace core {

// 11 enters a busy section, 0 leaves one (never below none); the hourglass shows while any
// section is open. Any other value is applied to the pointer as it is.
void SetBusyPointer(qint16 pointer);

// Returns after the given seconds, letting window events through all the while; 0 or less
// lets the pending events through once.
void Pause(float seconds);

// True when a window of the program with that name (any case) is loaded.
bool IsFormLoaded(const QString& name);

} // namespace core
