// See SharedUserFile.h.
#include "workbooks/SharedUserFile.h"

#include "platform/db/Connection.h"
#include "platform/db/Recordset.h"

namespace workbooks {

std::optional<OtherBudgetsSheet> OtherBudgetRecordingUserFile(platform::db::Connection& cnn,
                                                              const QString& path, const QString& budget) {
    platform::db::Recordset other = platform::db::Recordset::open(
        cnn,
        QStringLiteral("SELECT Worksheet_Name, Budget_Name FROM Worksheets WHERE UFNPath = ? "
                       "AND NOT (Budget_Name = ? COLLATE NOCASE_U) ORDER BY rowid LIMIT 1"),
        {path, budget});
    if (other.eof())
        return std::nullopt;
    return OtherBudgetsSheet{other.value(0).toString(), other.value(1).toString()};
}

} // namespace workbooks
