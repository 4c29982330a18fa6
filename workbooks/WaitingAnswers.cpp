// See WaitingAnswers.h.
#include "workbooks/WaitingAnswers.h"

#include "platform/db/Connection.h"
#include "platform/db/Recordset.h"
#include "platform/db/SqlText.h"
#include "platform/sys/FileFacts.h"

namespace workbooks {

bool HoldsWaitingAnswer(const QString& userFilePath, const QString& recordedModified) {
    const platform::sys::FindData found = platform::sys::GetFindData(userFilePath);
    return found.found && !found.isFolder && found.modified != platform::db::parseDateTime(recordedModified);
}

QStringList UserFilesWithWaitingAnswers(platform::db::Connection& cnn, const QString& masterFile,
                                        const QString& budget) {
    QStringList waiting;
    for (platform::db::Recordset rows = platform::db::Recordset::open(
             cnn,
             QStringLiteral("SELECT UFNPath, UF_Modified_Date FROM Worksheets WHERE Master_File = ? COLLATE "
                            "NOCASE_U AND Budget_Name = ? COLLATE NOCASE_U AND UF_Create_Date IS NOT NULL "
                            "AND UFNPath IS NOT NULL ORDER BY rowid"),
             {masterFile, budget});
         !rows.eof(); rows.moveNext()) {
        const QString path = rows.value(0).toString();
        if (HoldsWaitingAnswer(path, rows.value(1).toString()) && !waiting.contains(path))
            waiting << path;
    }
    return waiting;
}

} // namespace workbooks
