// Keeps the register of user files (UserFileTablesData) in step with the worksheets after
// user files have been built: every picked worksheet of the budget context whose user file
// has been built gets its row, and an existing row follows the worksheet's folder. Nothing is
// deleted and an existing row keeps its user, mail and merge state, so rebuilding a user file
// keeps its assignment. The cut runs it after each master workbook; the update run's join
// needs the rows it adds.
#pragma once

namespace wizard {

// Works on gOptions->BudgetNameContext. A row is the pair (User_Filename, Budget_Name), both
// compared without regard to case. A failure shows the generic error message; rows saved
// before it stay saved.
void SyncUserFileTable();

} // namespace wizard
