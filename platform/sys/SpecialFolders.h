// Locations of the machine's special folders as the program sees them on this platform.
// The common program files folder, below which the data folder with the master database
// lies, is $LUMIVANE_COMMON_FILES when set (a machine-wide folder lets several users share
// one master database), else $XDG_DATA_HOME, else ~/.local/share. The program files folder
// is the folder of the running program. The environment is read at each call.
#pragma once

#include <QString>

namespace platform::sys {

// The numeric folder identifiers the program asks for.
inline constexpr int kWindowsFolderId = 36;      // no counterpart here: always empty
inline constexpr int kSystemFolderId = 37;       // no counterpart here: always empty
inline constexpr int kProgramFilesFolderId = 38; // the running program's folder
inline constexpr int kCommonFilesFolderId = 43;  // the common program files folder

// The common program files folder, without a closing "/"; not created.
QString commonFilesFolder();

// The folder of the running program's file, without a closing "/".
QString programFolder();

// The folder for an identifier above; the empty text for an identifier without a
// folder here or when the folder is missing and create is false or creating it failed.
QString folderPath(int folderId, bool create);

} // namespace platform::sys
