// The start-up of the desktop program: the program-wide objects, then the checks that the
// master database is there and has the expected Budgets table. Windows come after these.
#pragma once

namespace lumidesk {

// Creates gOptions and gCnn (local strings) and checks the master database. Shows the
// start-up's own messages and answers whether the program may go on.
bool RunStartupChecks();

// The expected number of columns of the Budgets table.
inline constexpr int kBudgetsColumnCount = 14;

} // namespace lumidesk
