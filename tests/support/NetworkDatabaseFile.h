// A network master database on disk for the tests of the network database, written the way the
// program writes one: a keyed copy of the master database the build made, with the table of
// administrator accounts, each account's scrambled password and identifiers, and its grant
// column in Budgets. The first account is the super-administrator.
#pragma once

#include "core/StringScrambling.h"
#include "platform/db/Connection.h"
#include "platform/db/ConnectionString.h"
#include "platform/db/Schema.h"
#include "support/DatabaseFile.h"

#include <QFile>
#include <QList>
#include <QString>
#include <gtest/gtest.h>

namespace testsupport {

struct Account {
    QString name;
    QString password;
    QString email;
};

inline void addNetworkAccount(const QString& path, const QString& password, const Account& account,
                              bool superAdmin) {
    platform::db::Connection db = openDatabaseFile(path, password);
    db.execute(QStringLiteral("INSERT INTO AdminUsers VALUES (?, ?, ?, ?, ?)"),
               {account.name, core::EncodeString(account.password),
                core::EncodeString(account.name + account.password), account.email,
                superAdmin ? core::EncodeString(password + account.name + account.password) : QString()});
    db.addColumn(QStringLiteral("Budgets"), platform::db::ColumnSpec::text(account.name, 200));
}

// Copies the master database the build made to path and makes it the network database.
inline void makeNetworkDatabaseFile(const QString& path, const QString& password,
                                    const QList<Account>& accounts) {
    ASSERT_TRUE(QFile::copy(QStringLiteral(LUMIVANE_MASTER_DB), path)) << path.toStdString();
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    platform::db::Connection::setPassword(path, {}, password);
    {
        platform::db::Connection db = openDatabaseFile(path, password);
        db.execute(
            QStringLiteral("CREATE TABLE AdminUsers (AdminUser_Name VARCHAR(50) PRIMARY KEY, AdminUser_Pwd "
                           "VARCHAR(200), AdminUser_ID VARCHAR(200), AdminUser_Email VARCHAR(50), "
                           "SuperAdminUser_ID VARCHAR(200))"));
    }
    for (qsizetype i = 0; i < accounts.size(); ++i)
        addNetworkAccount(path, password, accounts[i], i == 0);
}

} // namespace testsupport
