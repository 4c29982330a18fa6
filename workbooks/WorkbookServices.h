// What the rest of the desktop program calls of the user-file and update-engine subsystem:
// the user-file activity check and the update run.
//
// They are not built yet. Until they are, each tells the user that it is not available and
// answers with its failure value: no file is checked, no workbook is updated.
#pragma once

#include <QtGlobal>

namespace workbooks {

// Compares the built user files' last-write times with the recorded ones and flags the
// changed files. useContext: only the budget context; masterFileId 0: all master workbooks,
// else only that one's. Answers the number of changed files when the check ran to its end,
// else 0.
qint32 CheckUserFilesExist(bool useContext, qint32 masterFileId);

// The Update Workbooks command: merges the budget context's returned user files into their
// master workbooks.
void UpdateMasterFilesCommand();

} // namespace workbooks
