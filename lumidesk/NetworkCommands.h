// The File > LumiNet commands of the main window: logon and log-off, making the network
// database, the super-administrator console and budget migration. They come with the network
// database; until then each tells the user it is not available and changes nothing, so the
// program stays on the local database.
#pragma once

class QWidget;

namespace lumidesk {

void mnuLogon_Click(QWidget* mainWindow);
void mnuMakeNetDB_Click(QWidget* mainWindow);
void mnuSAConfig_Click(QWidget* mainWindow);
void mnuMigrateBudgets_Click(QWidget* mainWindow);

} // namespace lumidesk
