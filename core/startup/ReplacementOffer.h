// The offer, when a program starts, to carry the data of the previous master database over into
// a newer one put in its place. Something outside the programs sets the desktop program's
// "Runtime" "ReplaceDB" and leaves the previous database as "oldlumimaster.mdb" in the data
// folder; the desktop program's start-up and the add-in's start then ask.
//
// Yes migrates through the data store library (in one transaction: a failure leaves the new
// database as it was and is raised to the caller), then clears "ReplaceDB" for both programs,
// the program's own "Runtime" "InstallSample" and the options' InstallSample, and sweeps every
// table to its placeholder rows; a missing previous file is told and changes no setting, so the
// offer comes again. No deletes the previous file and clears the desktop program's setting (a
// missing file changes nothing). Cancel is the caller's to act on: the desktop program ends,
// the add-in's start stops there.
//
// What the two programs do differently is given as steps: the desktop program re-links the
// budgets after the migration; the add-in deletes the previous file once the migration has
// succeeded (never after a failed one: the file is kept and the setting stays set) and compacts
// the master database after a Yes. The database is taken for the program's own use for the
// migration: while the other program works on it, the migration is refused with the reason and
// the setting stays set.
#pragma once

#include "core/AppTitle.h"

#include <QString>
#include <functional>

namespace core {

inline const QString kReplacedQuestion =
    QStringLiteral("The database has been replaced with a newer version.\nDo you want to migrate your data?");
inline const QString kPreviousMissingText = QStringLiteral(
    "The database file to migrate 'oldlumimaster.mdb' is missing.  Re-install from its source.");

struct ReplacementSteps {
    QString title = appTitle();
    std::function<void()> afterMigration;      // the desktop program: re-link every budget
    bool deletePreviousAfterMigration = false; // the add-in
    bool compactAfterYes = false;              // the add-in, whether the previous file was there or not
};

enum class ReplacementOutcome { GoOn, Cancelled };

// Asks and does what the answer says, on the local files of gCnn. Failures are raised.
ReplacementOutcome OfferDatabaseReplacement(const ReplacementSteps& steps);

} // namespace core
