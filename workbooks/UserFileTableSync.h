// How the cut reaches the register of user files. Bringing UserFileTablesData in step
// (SyncUserFileTable) belongs to the budget setup wizard, which itself builds user files
// through this subsystem; so that dependencies point one way, the program installs the
// wizard's routine here at start-up, as core reaches the workbook opener.
#pragma once

#include <QString>
#include <functional>

namespace workbooks {

inline const QString kSyncNotAvailableText = QStringLiteral(
    "Bringing the user-file register in step is not available yet in this version of Lumidesk.");

// Installs the routine; an empty function puts the not-available message back.
void setUserFileTableSync(std::function<void()> sync);

// Runs the installed routine on the budget context; without one tells the user that it is
// not available.
void SyncUserFileTable();

} // namespace workbooks
