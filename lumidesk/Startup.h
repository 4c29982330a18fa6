// The start-up of the desktop program: one instance at a time, the program-wide objects, the
// checks that the master database is there and has the expected Budgets table, the offer to
// migrate a replaced database, the choice of the local or network database, and the first
// window (the About box as splash in front of the hidden main window, or the main window).
#pragma once

#include <QString>

namespace platform::sys {
class SingleInstance;
}

namespace lumidesk {

inline const QString kAlreadyRunningText = QStringLiteral("Lumivane is already running.");
// The start-up's messages for a master database that is there but cannot be used (%1 the
// folder or file).
inline const QString kUnreadableFolderText = QStringLiteral(
    "The folder %1, which holds the database file, cannot be read.  Check its permissions, or re-install "
    "Lumivane.");
inline const QString kUnreadableFileText = QStringLiteral(
    "The database file %1 cannot be read or written.  Check its permissions, or re-install Lumivane.");
inline const QString kDamagedDatabaseText = QStringLiteral(
    "The database file %1 is damaged and cannot be used.  Replace it with a backup copy (made with Backup "
    "db) or re-install Lumivane.");

// The expected number of columns of the Budgets table.
inline constexpr int kBudgetsColumnCount = 14;

// What makes two starts one program for one user: that user's settings file.
QString SingleInstanceKey();

// When another instance runs: says so, brings that one forward and answers true (this start
// ends). Otherwise this instance now answers later starts and the answer is false.
bool RefuseSecondInstance(platform::sys::SingleInstance& instance);

// Brings the running program's window forward: the main window, or the splash in front of it.
void ActivateMainWindow();

// Creates gOptions and gCnn (local strings) and checks the master database. Shows the
// start-up's own messages and answers whether the program may go on.
bool RunStartupChecks();

// The whole start-up after the single-instance check. Answers true when a window was shown,
// so the program goes on with its windows' events; false when it ended before (its message
// has been shown).
bool RunStartup();

} // namespace lumidesk
