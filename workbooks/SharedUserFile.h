// When one user file belongs to two budgets. Two budgets whose master workbooks share a folder, a
// folder name and a sheet name would each record the same user file in a worksheet row. Such a
// file belongs to neither: the cut does not make it again over the other budget's, the update run
// merges it into neither master, and Get Mail replaces it for neither. A file that two rows of
// one budget record (a duplicated worksheet row) is still that budget's own: its answers are
// merged and collected as any other's.
#pragma once

#include <QString>
#include <optional>

namespace platform::db {
class Connection;
}

namespace workbooks {

// The worksheet row of another budget that records a user file.
struct OtherBudgetsSheet {
    QString worksheet;
    QString budget;
};

// The first worksheet row (in the order the rows were written) of a budget other than `budget`
// (compared without regard to case) whose user file is at `path` (compared exactly, as file
// names are); none when the file is the budget's alone.
std::optional<OtherBudgetsSheet> OtherBudgetRecordingUserFile(platform::db::Connection& cnn,
                                                              const QString& path, const QString& budget);

} // namespace workbooks
