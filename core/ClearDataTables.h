// The clearing of the master database's data tables that the main window's Clear System Data
// and the configuration window's Clear db share: four Yes/No questions, each Yes emptying its
// tables (the budget tables, FolderNames, UsersData, and the mail tables Admin, BodyText and
// Subject); whatever the answers, every table of the table list gets its placeholder row
// back where it is empty and "Runtime" "ConfiguredData" becomes "0". Clearing the budget
// tables leaves no budget context ("Nothing", also in the settings).
//
// The database is taken for the program's own use first: while another program works on it
// the clearing is refused with a message and nothing is asked. The questions are all asked first; the chosen
// tables are then emptied in one transaction, so a failure part-way leaves every table as it was. Failures
// are raised to the caller (a database error, or a LumistoreError from the sweep).
#pragma once

namespace core {

void ClearDataTables();

} // namespace core
