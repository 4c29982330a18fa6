// Keeps commands out of a long run. A run shows the wait window and lets window events
// through at every step, so menu commands can fire in the middle of it. Commands that
// release or replace the shared objects or change the files and records under a run
// (compaction, restore, the clear commands, the errors reset, logon and log-off, the cuts,
// the record syncs and deletions, another run) ask the guard first and are refused with a
// short message while any run holds a token.
//
// The guard spans the programs on one master database: while a token is held, the program
// marks a run through its presence on the database (platform/db/Presence.h), and the same
// commands of the other program (the desktop program beside the add-in, or an administrator
// on the network database) are refused as long as the mark stays.
#pragma once

#include "core/AppTitle.h"

#include <QString>
#include <functional>
#include <memory>

namespace platform::db {
class PresenceHold;
}

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

    // How the guard finds the program's presence on its master database (the connection
    // descriptor installs it); without it, runs are counted in this program alone.
    static void setPresenceLookup(std::function<std::shared_ptr<platform::db::PresenceHold>()> lookup);

    // True while at least one token is held in this program, or another program on the same
    // master database marks a run.
    static bool isRunning();

    // For a command that must not run inside a run (of this program or of another one on the
    // same database): shows the refusal message (title as given) and answers true when a run is
    // under way; answers false without a word otherwise.
    static bool refuseDuringRun(const QString& title = appTitle());
};

} // namespace core
