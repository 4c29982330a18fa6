// The "Network" settings of the desktop program, which keep the network database and the
// last logon from one run to the next, and the identifier texts of a logon. The database
// password and the identifiers are kept scrambled (core/StringScrambling.h).
//
// Identifier texts, compared only after decoding: the user identifier is an administrator's
// name followed directly by the password; the super-administrator identifier is the database
// password, the name and the password joined in this order.
#pragma once

#include <QString>

namespace admin::net {

inline const QString kSection = QStringLiteral("Network");
inline const QString kLumiNetPath = QStringLiteral("LumiNetPath");
inline const QString kLumiNetPwd = QStringLiteral("LumiNetPwd");
inline const QString kLumiNetConn = QStringLiteral("LumiNetConn");
inline const QString kAdminUserName = QStringLiteral("AdminUserName");
inline const QString kAdminUserPwd = QStringLiteral("AdminUserPwd");
inline const QString kLumiSAID = QStringLiteral("LumiSAID");
inline const QString kLumiAUID = QStringLiteral("LumiAUID");

// The scrambled columns (identifiers, passwords, grant tokens) hold 200 characters, and the
// scrambled form takes up to five characters for each plain one: an identifier text may hold
// 40 characters.
constexpr int kScrambledColumnSize = 200;
constexpr int kMaxIdentifierLength = kScrambledColumnSize / 5;

QString read(const QString& key);
void write(const QString& key, const QString& value);

// The database password of the network database, decoded from "Network" "LumiNetPwd".
QString databasePassword();

// The connection string kept as "Network" "LumiNetConn": the database at path with an empty
// password field, so that the password never stands in the settings in plain text.
QString netConnectionText(const QString& path);

inline QString userIdentifier(const QString& name, const QString& password) {
    return name + password;
}
inline QString superAdminIdentifier(const QString& databasePassword, const QString& name,
                                    const QString& password) {
    return databasePassword + name + password;
}

} // namespace admin::net
