// Keeps commands out of a long run. A run shows the wait window and lets window events
// through at every step, so menu commands can fire in the middle of it. Commands that
// release or replace the shared objects (compaction, restore, the clear commands, the
// errors reset, logon and log-off, another run) ask the guard first and are refused with a
// short message while any run holds a token.
#pragma once

#include "core/AppTitle.h"

#include <QString>

namespace core {

class RunGuard {
public:
    // Held by a run (and by the wait window while it is loaded) for as long as it lasts.
    class Token {
    public:
        Token();
        ~Token();
        Token(const Token&) = delete;
        Token& operator=(const Token&) = delete;
    };

    // The text shown to a refused command.
    static inline const QString kRefusedText =
        QStringLiteral("Wait until the running operation has finished or has been cancelled.");

    // True while at least one token is held.
    static bool isRunning();

    // For a command that must not run inside a run: shows the refusal message (title as
    // given) and answers true when a run is under way; answers false without a word otherwise.
    static bool refuseDuringRun(const QString& title = appTitle());
};

} // namespace core
