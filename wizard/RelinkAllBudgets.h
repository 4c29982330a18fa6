// Re-links the worksheets of every budget to the keys of their master workbooks. After a
// migration from a previous database the master-workbook rows carry new keys; each
// worksheet row takes the key of the master-workbook row of its own budget with the same
// file name. The start-up's replacement offer runs it after the migration.
#pragma once

namespace wizard {

// No result: a failure shows the program's error message and ends the re-linking, leaving
// every worksheet as it was (the whole re-linking is one transaction).
void RelinkAllBudgets();

} // namespace wizard
