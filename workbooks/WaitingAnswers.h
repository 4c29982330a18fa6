// Answers waiting to be merged: a user file whose worksheet row records its cut (or its last
// merge) holds a user's answers that no update run has merged yet when the file at the
// recorded path was written after the time the row records. Whatever would replace such a file
// or drop its records (a second cut, rebuilding the records) asks first, naming the files.
#pragma once

#include <QString>
#include <QStringList>

namespace platform::db {
class Connection;
}

namespace workbooks {

// True when the file at userFilePath is there and its last-write time is not the recorded one
// (the text of UF_Modified_Date).
bool HoldsWaitingAnswer(const QString& userFilePath, const QString& recordedModified);

// The paths of the cut user files of the master workbook in the budget (names equal, letter case
// aside) that hold waiting answers, in the order of their rows.
QStringList UserFilesWithWaitingAnswers(platform::db::Connection& cnn, const QString& masterFile,
                                        const QString& budget);

} // namespace workbooks
