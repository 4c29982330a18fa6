// The offer, at start-up, to carry the data of the previous master database over into a
// newer one put in its place. Something outside the program sets "Runtime" "ReplaceDB" and
// leaves the previous database as "oldlumimaster.mdb" in the data folder; the start-up then
// asks. Yes migrates through the data store library, re-links the worksheets to their
// master workbooks, clears the setting for both programs and sweeps the tables to their
// placeholder rows; No deletes the previous file and clears the setting; Cancel ends the
// program. A missing previous file keeps the setting, so the offer comes again.
#pragma once

#include <QString>

namespace lumidesk {

inline const QString kReplacedQuestion =
    QStringLiteral("The database has been replaced with a newer version.\nDo you want to migrate your data?");
inline const QString kPreviousMissingText = QStringLiteral(
    "The database file to migrate 'oldlumimaster.mdb' is missing.  Re-install from its source.");

enum class ReplacementOutcome { GoOn, End };

// Asks and does what the answer says, on the local files of gCnn. A failure of the migration
// is raised to the start-up, which reports it and ends, leaving the setting set.
ReplacementOutcome OfferDatabaseReplacement();

} // namespace lumidesk
