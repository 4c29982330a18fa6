// The logon to the network database: the test of its location and database password, and the
// check of an administrator's account, which records the logon in the options object and the
// settings. The logon window (frmLogon.h) runs both with what the administrator typed.
//
// Names, passwords and identifiers are compared without regard to case, after decoding
// (core/StringScrambling.h). The rights are taken away at the start of every check and granted
// only once the password has been proved, so a failed attempt never leaves a right behind.
#pragma once

#include <QString>

namespace admin {

// What the logon window holds.
struct LogonEntry {
    QString databasePassword;
    QString name;
    QString password;
};

// True when the database at "Network" "LumiNetPath" opens with the typed database password
// and its AdminUsers table names at least one account. Then the password is kept scrambled
// in "Network" "LumiNetPwd" and the connection descriptor is on the network database
// (NetCnn, which also takes the program's presence on it). Shows its own messages.
bool TestNetworkConnection(const LogonEntry& entry);

// True when the name and password are those of an account of the network database (the
// connection descriptor's); then the options object holds the logon (NetMenus, AUAuth,
// SAAuth for the super-administrator, the name, the identifiers and the super-administrator's
// profile) and the settings keep it. Shows its own messages.
bool LogonNetworkAdminUser(const LogonEntry& entry);

} // namespace admin
