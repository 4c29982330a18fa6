// The routines behind the configuration window's four grids, shared with every window that
// carries such a grid (the address-import window refills the users grid through
// LoadUsersDataGrid). Each works on the grid of its name on the data window registered as
// gOptions.ActiveForm, and does nothing when that window has no such grid.
//
// - The loads fill a grid from its table: the admin grid with the authors or the mail robots
//   (gOptions.AdminControl), the folder names, the users with the folder names as the pick
//   list of their folder column, the stock subjects or body texts (gOptions.Messages).
// - The stores take one row of a grid, as the user left it, into its table: an account or a
//   user is found by its name without regard to case and updated, else added; a folder name
//   or a message is found by the text its cell held before the edit
//   (gOptions.BeforeEditValue) and renamed, else added. A row whose required cells are not
//   all filled is not stored yet.
//
// Every typed value goes into the database as a bound parameter, so "O'Brien" is stored as
// typed. A failure shows the program's error message; what was stored before it stays.
#pragma once

#include <QString>
#include <QtGlobal>

namespace admin {

inline const QString kAdminGrid = QStringLiteral("dtAdmin");
inline const QString kFolderNamesGrid = QStringLiteral("dtFolderNames");
inline const QString kUsersDataGrid = QStringLiteral("dtUsersData");
inline const QString kMessagesGrid = QStringLiteral("dtMsgs");

// Columns of the admin grid.
enum AdminColumn {
    kAdminDefault = 0,      // Default: the default author
    kAdminDefaultRobot = 1, // Default_Robot: the default mail robot
    kAdminName = 2,         // Admin_Name
    kAdminEmail = 3,        // Admin_Email_Address
    kAdminMailServer = 4,   // Mail_Server (outgoing)
    kAdminPop3Account = 5,  // Pop3_Account
    kAdminPop3Server = 6,   // Pop3_Server (incoming)
};

// Columns of the users grid.
enum UsersColumn { kUsersName = 0, kUsersEmail = 1, kUsersFolder = 2 };

// The longest stock subject or body text the tables keep.
constexpr int kMessageMaxLength = 255;
inline const QString kMessageTooLongText = QStringLiteral("This message is too long to store.");

void LoadAdminGrid();
void SaveAdminGridCell(int row, int column);

// Mode 0: 0 when exactly one author is the default author, else 1. Mode 1: 2 when there
// are robots and exactly one is the default robot, 3 when there are robots and not exactly
// one is, 4 when there is none. Another mode: 0. An Admin table without rows, or one that
// cannot be read, gives 0 whatever the mode.
qint32 CheckAdminDefaults(qint32 mode);

void LoadFolderNamesGrid();
void SaveFolderNameCell(int row, int column);

void LoadUsersDataGrid();
void SaveUsersDataCell(int row, int column);

void LoadMessagesGrid();
void SaveMessageCell(int row, int column);

} // namespace admin
