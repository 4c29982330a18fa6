// The three queries of the Budgets Explorer's status grid, one row per user file, ordered by
// user file. Every user file is listed, also one that is not assigned yet or whose user's name
// is no user of the users table (its Users column shows the name as stored); the placeholder
// row is not:
// - the unfiltered query: every budget's user files, with the user file's own folder; the
//   explorer's load and its folder list read it;
// - the context query: the user files of the budget context, with the user's folder;
// - the folder query: those of the budget context in one folder, with the user file's folder.
//
// The budget context and the folder are bound values matched whole, without regard to case,
// so the context "Sales" never shows the files of "Sales 2". An empty context selects every
// budget and an empty folder every folder.
#pragma once

#include <QString>
#include <QVariantList>

namespace lumidesk {

struct StatusQuery {
    QString sql;
    QVariantList params;
};

// Fields in order: User_Filename, Users, Select_By_User, Email_Sent, UserFile_Update,
// Lockout_User_Updates, Due_Date, ID_UFTD, Master_File, Budget_Name, Folder_Name.
StatusQuery UnfilteredStatusQuery();

// Fields in order: User_Filename, Users, Select_By_User, Folder_Name, Email_Sent,
// UserFile_Update, Lockout_User_Updates, Due_Date, ID_UFTD, Master_File, Budget_Name.
StatusQuery ContextStatusQuery(const QString& context);
StatusQuery FolderStatusQuery(const QString& context, const QString& folder);

} // namespace lumidesk
