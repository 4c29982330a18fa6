// See StatusGridQueries.h.
#include "lumidesk/StatusGridQueries.h"

#include <QStringList>

namespace lumidesk {

namespace {

const QString kJoin = QStringLiteral("FROM UserFileTablesData "
                                     "INNER JOIN UsersData "
                                     "ON UserFileTablesData.Users = UsersData.Users COLLATE NOCASE_U ");
const QString kOrder = QStringLiteral("ORDER BY User_Filename");

// The selection of the context and folder queries, with the folder of the user or the file.
QString contextFields(const QString& folderColumn) {
    return QStringLiteral("SELECT User_Filename,UserFileTablesData.Users, "
                          "UserFileTablesData.Select_By_User,%1, "
                          "Email_Sent,UserFile_Update,Lockout_User_Updates,Due_Date, "
                          "ID_UFTD,Master_File,Budget_Name ")
        .arg(folderColumn);
}

StatusQuery filtered(const QString& folderColumn, const QString& context, const QString* folder) {
    StatusQuery query;
    QStringList conditions;
    if (!context.isEmpty()) {
        conditions << QStringLiteral("Budget_Name = ? COLLATE NOCASE_U");
        query.params << context;
    }
    if (folder && !folder->isEmpty()) {
        conditions << QStringLiteral("UserFileTablesData.Folder_Name = ? COLLATE NOCASE_U");
        query.params << *folder;
    }
    query.sql = contextFields(folderColumn) + kJoin;
    if (!conditions.isEmpty())
        query.sql += QStringLiteral("WHERE ") + conditions.join(QStringLiteral(" AND ")) + QLatin1Char(' ');
    query.sql += kOrder;
    return query;
}

} // namespace

StatusQuery UnfilteredStatusQuery() {
    return {QStringLiteral("SELECT User_Filename,UserFileTablesData.Users, "
                           "UserFileTablesData.Select_By_User,Email_Sent, "
                           "UserFile_Update,Lockout_User_Updates,Due_Date, "
                           "ID_UFTD,Master_File,Budget_Name, "
                           "UserFileTablesData.Folder_Name ") +
                kJoin + kOrder,
            {}};
}

StatusQuery ContextStatusQuery(const QString& context) {
    return filtered(QStringLiteral("UsersData.Folder_Name"), context, nullptr);
}

StatusQuery FolderStatusQuery(const QString& context, const QString& folder) {
    return filtered(QStringLiteral("UserFileTablesData.Folder_Name"), context, &folder);
}

} // namespace lumidesk
