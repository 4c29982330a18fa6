// See StatusGridQueries.h.
#include "lumidesk/StatusGridQueries.h"

#include "platform/sys/PlaceholderRow.h"

#include <QStringList>

namespace lumidesk {

namespace {

// The folder of the file's user; no value for a name that is no user. A subquery rather than a
// join, so a file is listed once even when two users' names differ in letter case only.
const QString kUsersFolder = QStringLiteral(
    "(SELECT UsersData.Folder_Name FROM UsersData WHERE UsersData.Users = "
    "UserFileTablesData.Users COLLATE NOCASE_U ORDER BY UsersData.rowid LIMIT 1) AS Folder_Name");
const QString kFileFolder = QStringLiteral("UserFileTablesData.Folder_Name");
const QString kFrom = QStringLiteral("FROM UserFileTablesData ");
const QString kOrder = QStringLiteral("ORDER BY User_Filename");

// The selection of the context and folder queries, with the folder of the user or the file.
QString contextFields(const QString& folderColumn) {
    return QStringLiteral("SELECT User_Filename,UserFileTablesData.Users, "
                          "UserFileTablesData.Select_By_User,%1, "
                          "Email_Sent,UserFile_Update,Lockout_User_Updates,Due_Date, "
                          "ID_UFTD,Master_File,Budget_Name ")
        .arg(folderColumn);
}

// Every user file of the table but its placeholder row, narrowed to the context and folder
// given; a file whose user is not (or no longer) in the users table is listed all the same.
StatusQuery rowsOf(const QString& fields, const QString& context, const QString& folder) {
    StatusQuery query;
    QStringList conditions{QStringLiteral("User_Filename <> ?")};
    query.params << platform::sys::kPlaceholderText;
    if (!context.isEmpty()) {
        conditions << QStringLiteral("Budget_Name = ? COLLATE NOCASE_U");
        query.params << context;
    }
    if (!folder.isEmpty()) {
        conditions << QStringLiteral("UserFileTablesData.Folder_Name = ? COLLATE NOCASE_U");
        query.params << folder;
    }
    query.sql = fields + kFrom + QStringLiteral("WHERE ") + conditions.join(QStringLiteral(" AND ")) +
                QLatin1Char(' ') + kOrder;
    return query;
}

} // namespace

StatusQuery UnfilteredStatusQuery() {
    return rowsOf(QStringLiteral("SELECT User_Filename,UserFileTablesData.Users, "
                                 "UserFileTablesData.Select_By_User,Email_Sent, "
                                 "UserFile_Update,Lockout_User_Updates,Due_Date, "
                                 "ID_UFTD,Master_File,Budget_Name, ") +
                      kFileFolder + QLatin1Char(' '),
                  QString(), QString());
}

StatusQuery ContextStatusQuery(const QString& context) {
    return rowsOf(contextFields(kUsersFolder), context, QString());
}

StatusQuery FolderStatusQuery(const QString& context, const QString& folder) {
    return rowsOf(contextFields(kFileFolder), context, folder);
}

} // namespace lumidesk
