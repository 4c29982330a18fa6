// The File > LumiNet commands of the main window and its Migrate Budgets command: logon and
// log-off, making the network database from a copy of the local one, the super-administrator
// console and budget migration. They decide which windows close, wait for the logon window,
// and set the option fields, menu states and status text that follow each outcome; the
// windows and checks themselves belong to the administration subsystem (admin/).
//
// Every switch of database (logon, log-off, making the network database) closes the windows
// that show the old database, releases the query objects and both data environments, and
// clears the budget context, so that nothing goes on reading the database that was left.
#pragma once

#include <QString>

class QWidget;

namespace lumidesk {

class frmMain;

// Logon while the program works on the local database, log-off otherwise.
void mnuLogon_Click(QWidget* mainWindow);
void mnuMakeNetDB_Click(QWidget* mainWindow);
void mnuSAConfig_Click(QWidget* mainWindow);
void mnuMigrateBudgets_Click(QWidget* mainWindow);

// Lets the administrator choose where the network copy of the master database at strDBPath
// goes ("lumimaster.mdb" in a folder that does not hold one), copies it there and answers
// the copy's path; "" when nothing was copied (cancelled, refused, or failed with a message).
QString CopyDatabase(const QString& strDBPath);

// The captions and states of the network items and the status text, as the commands leave
// them.
enum class NetworkMenuState { Local, Administrator, SuperAdministrator, JustMade };
void SetNetworkMenuState(frmMain& main, NetworkMenuState state);

} // namespace lumidesk
