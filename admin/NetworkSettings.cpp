// See NetworkSettings.h.
#include "admin/NetworkSettings.h"

#include "core/StringScrambling.h"
#include "core/cConnection.h"
#include "platform/db/ConnectionString.h"
#include "platform/sys/SettingsStore.h"

namespace admin::net {

using core::DecodeString;

QString read(const QString& key) {
    return platform::sys::readSetting(platform::sys::settingsApplication(), kSection, key);
}

void write(const QString& key, const QString& value) {
    platform::sys::writeSetting(platform::sys::settingsApplication(), kSection, key, value);
}

QString databasePassword() {
    return DecodeString(read(kLumiNetPwd));
}

QString netConnectionText(const QString& path) {
    using platform::db::ConnectionString;
    ConnectionString cs;
    cs.set(ConnectionString::kProvider, core::cConnection::kProvider);
    cs.set(ConnectionString::kDataSource, path);
    cs.set(ConnectionString::kDatabasePassword, QString());
    cs.set(ConnectionString::kUserId, QStringLiteral("admin"));
    return cs.toString();
}

} // namespace admin::net
