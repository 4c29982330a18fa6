// The network database: its database password, and the turning of a fresh copy of the master
// database into the shared network database with its first account, the super-administrator.
#pragma once

#include "platform/db/Connection.h"

#include <QString>
#include <functional>

namespace admin {

// Gives the database file at path a new database password, typed twice in the password
// window; presentPassword opens it now ("" for a file without one). reserved: the characters
// of the name and password that will be joined to the new password in the super-administrator
// identifier (so that it keeps to its column). The file is taken for the program's own use
// first: while another administrator's program holds it, the change is refused with the
// reason before anything is asked. Every connection of the program on it is released before
// it is re-keyed. True when the password was changed and stored scrambled in "Network"
// "LumiNetPwd"; false when cancelled, refused or failed (the file keeps its password).
// alsoInNewFile, given the new password, answers the rows to write with it: they are written
// into the re-keyed file before it replaces the old one, under the same hold, so the file
// changes with all of them or not at all.
using RekeyStatements = std::function<QList<platform::db::Connection::Statement>(const QString& newPassword)>;
bool SetDatabasePassword(const QString& path, const QString& presentPassword, int reserved,
                         const RekeyStatements& alsoInNewFile = {});

// Turns the freshly copied master database at path into the network database: its password,
// the network settings, the AdminUsers table, the super-administrator's account with its
// grant column in Budgets and the profile in SuperAdminUser (these three in one transaction),
// and the super-administrator's logon. True when made: the program is then on the network
// database as its super-administrator. False when cancelled or failed; the caller then
// releases every connection, returns to the local database and deletes the copy.
bool CreateNetworkDatabase(const QString& path);

} // namespace admin
