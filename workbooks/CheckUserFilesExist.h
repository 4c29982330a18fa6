// The user-file activity check: which user files came back changed. Every built, picked user
// file of the chosen budgets is looked up on disk; one whose last-write time differs from the
// time recorded at its cut or last merge is flagged (UserFile_Update) for the next update run,
// one that is gone is marked missing, logged in the errors table and the administrator decides
// whether the check goes on. It reads directory entries only and never opens a user file.
#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QtGlobal>

namespace workbooks {

inline const QString kMissingUserFileText =
    QStringLiteral("User file (%1) is missing.  Do you want to continue checking for other User Files?");
inline const QString kPathDoesNotExistText =
    QStringLiteral("The path for %1 does not exist [Budget=%2]. Suspend further file tests?");

// useContext: only the budget context (else every budget); masterFileId: only that master
// workbook's user files (0: all). Answers the number of user files found changed when the
// check ran to its end, 0 when it was stopped or failed (after the generic error message).
// The flag row of a user file is the UserFileTablesData row of the same file name, folder and
// budget; a user file without one is passed over.
qint32 CheckUserFilesExist(bool useContext, qint32 masterFileId);

// The check of the update run, once for the whole run: the user files of these master workbooks
// in the budget context, read once. Each master's files are checked in table order, master
// after master in the order given, as checks of each master alone would be; a master whose
// check was stopped (No to a missing file, Yes to suspending) answers 0 and the check goes on
// with the next one. Answers each master's number of user files found changed; a master not in
// the answer (none after a failure, reported) counts 0.
QHash<qint64, qint32> CheckUserFilesOfMasters(const QList<qint64>& masterIds);

} // namespace workbooks
