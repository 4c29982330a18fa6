// The presence check of a shared database file. Every program that works on a shared
// database holds it shared for as long as it does; an operation that must have the file to
// itself (changing its password, compacting, restoring or moving it) turns its program's own
// hold into the only one and is refused while any other program holds the file.
//
// A hold is a lock on a small file beside the database, "<database file>.presence", never on
// the database itself: closing any descriptor of a file drops the record locks the process
// holds on it, and the engine's own locks on the database must not go with a presence
// check. The lock is an open-file-description lock, so that every hold is a lock of its own
// (two holds in one process are two programs to each other), and it dies with its process,
// so a program that crashed never leaves a presence behind. Network file systems pass these
// locks on to the server, which is what makes two machines see each other.
//
// The presence is the file's first byte. Its second byte marks the runs: a program whose long
// run is under way (an update run, a cut, any work behind the wait window) holds it shared
// through its hold, so that every other program on the database can refuse the commands that
// would change the files and records under that run.
#pragma once

#include <QString>
#include <memory>

namespace platform::db {

class PresenceHold {
public:
    // How long taking a hold waits, at most, while another program has the file to itself.
    static constexpr int kWaitMs = 10000;

    // The presence file of a database file.
    static QString presencePath(const QString& databasePath);

    // Takes a shared hold on the database at the path (the presence file is made beside it,
    // with the database's own permissions, when it is not there). While another program has
    // the file to itself it waits up to waitMs, then fails with DbError::kFileInUse; a
    // presence file that cannot be made or opened fails with DbError::kCannotOpen.
    static std::shared_ptr<PresenceHold> take(const QString& databasePath, int waitMs = kWaitMs);

    // True when any hold, of this program or another, is on the database now.
    static bool isHeld(const QString& databasePath);

    ~PresenceHold();
    PresenceHold(const PresenceHold&) = delete;
    PresenceHold& operator=(const PresenceHold&) = delete;

    const QString& databasePath() const { return databasePath_; }

    // Makes this hold the only one: true when no other hold is on the file (this hold now
    // keeps every other program out), false when another is (this hold stays shared).
    bool takeForOwnUse();
    // Shares the file again after takeForOwnUse.
    void share();
    bool isOwnUse() const { return ownUse_; }

    // Marks (true) or unmarks (false) a run of this program on the database.
    void markRun(bool running);
    // True when another program (any other hold) marks a run on the database now.
    bool otherProgramRuns() const;

private:
    PresenceHold(QString databasePath, int descriptor);

    QString databasePath_;
    int descriptor_;
    bool ownUse_ = false;
};

} // namespace platform::db
