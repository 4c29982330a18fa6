// Work that must have the master database to itself, and the release of every connection
// the program keeps on it.
//
// The program holds its presence on the master database it works on (cConnection::NetCnn on
// the network database, LocalCnn on the local one, which the desktop program and the add-in
// share). Changing the database password, compacting, restoring, moving, clearing it and
// migrating a previous database into it take the database for the program's own use first:
// they are refused, with a message that names the reason, while another program holds it (an
// administrator's on the network database, the other program on the local one), and while
// they run no other program can arrive.
//
// Before the file is re-keyed, replaced or left for another database, every connection the
// program keeps open on it is released: the query objects, and what the program adds through
// a hook it installs at start-up (the data environments of the desktop program), since core
// cannot reach them itself.
#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace platform::db {
class PresenceHold;
}

namespace core {

// The database had for the program's own use while the guard lives; shared again after.
class OwnUse {
public:
    OwnUse() = default; // holds nothing: the local database, which is not checked
    explicit OwnUse(std::shared_ptr<platform::db::PresenceHold> hold);
    ~OwnUse();
    OwnUse(OwnUse&& other) noexcept;
    OwnUse& operator=(OwnUse&& other) noexcept;
    OwnUse(const OwnUse&) = delete;
    OwnUse& operator=(const OwnUse&) = delete;

private:
    std::shared_ptr<platform::db::PresenceHold> hold_;
};

// The second half of every refusal: the reason, on the network database and on the local one.
inline const QString kOthersConnectedText =
    QStringLiteral(" while other administrators are connected to the network database.  Ask them to log off, "
                   "then try again.");
inline const QString kOtherProgramText =
    QStringLiteral(" while another Lumivane program (the desktop program or the spreadsheet add-in) works on "
                   "the database.  Close it, then try again.");

// Takes the database file at path for this program's own use: through the program's
// presence when that is on this file, else through a presence taken for the occasion. When
// another program holds the file, shows whatCannotRun followed by the reason
// ("The database can't be compacted" + " while other administrators ..."; kOtherProgramText
// for the local master database) and answers no
// value; any other failure shows the program's error message and answers no value. Inside an
// operation that has the database already, the guard holds nothing (the outer one shares the
// database again when it ends).
std::optional<OwnUse> TakeDatabaseForOwnUse(const QString& path, const QString& whatCannotRun);

// The same for the master database in use; a guard holding nothing when the program holds no
// presence on it (no master database file).
std::optional<OwnUse> TakeMasterDatabaseForOwnUse(const QString& whatCannotRun);

// The update engine (gUpdate of the user-file subsystem) is released with the query objects.
// Core does not know it, so the program installs the routine that releases it at start-up.
void setUpdateEngineRelease(std::function<void()> release);

// Installs the program's part of ReleaseSharedConnections: its data environments let go.
void setSharedConnectionsReleaser(std::function<void()> releaser);

// Releases the query objects gDB2 and gDB3 and the update engine, and runs the program's
// releaser, so that no connection of this program stays open on the master database.
void ReleaseSharedConnections();

} // namespace core
