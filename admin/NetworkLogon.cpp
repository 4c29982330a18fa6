// See NetworkLogon.h.
#include "admin/NetworkLogon.h"

#include "admin/NetworkSettings.h"
#include "core/AppTitle.h"
#include "core/ErrorMessage.h"
#include "core/MasterDatabaseTables.h"
#include "core/StringScrambling.h"
#include "core/cConnection.h"
#include "core/cDB2.h"
#include "core/cOptions.h"
#include "platform/db/ConnectionString.h"
#include "platform/db/Recordset.h"
#include "platform/sys/PlaceholderRow.h"
#include "platform/sys/SettingText.h"
#include "platform/ui/Ui.h"

namespace admin {

using core::DecodeString;
using core::EncodeString;
using core::ScrambledEquals;

namespace {

using platform::db::Recordset;

const QString kAccountsQuery = QStringLiteral("SELECT * FROM AdminUsers WHERE AdminUser_Name is not null");
const QString kProfileQuery = QStringLiteral("SELECT Super_Admin_Name, Copy_Permissions,View_Mode FROM "
                                             "SuperAdminUser WHERE Super_Admin_Name Is Not Null");

void say(const QString& text) {
    platform::ui::msgBox(text, platform::ui::Buttons::Ok, core::appTitle());
}

QString text(const Recordset& rows, const QString& field) {
    return rows.value(field).toString();
}

// The super-administrator's profile: the first real row of SuperAdminUser. Without one, the
// options keep what they held.
void readProfile(core::cDB2& query) {
    Recordset rows;
    if (query.GetRecordset(kProfileQuery, rows) != core::QueryObject::kRows)
        return;
    for (; !rows.eof(); rows.moveNext()) {
        if (text(rows, QStringLiteral("Super_Admin_Name"))
                .compare(platform::sys::kPlaceholderText, Qt::CaseInsensitive) == 0)
            continue;
        core::cOptions& options = *core::gOptions;
        options.CopyPermissions =
            platform::sys::textToBool(DecodeString(text(rows, QStringLiteral("Copy_Permissions"))))
                .value_or(false);
        options.ViewMode = DecodeString(text(rows, QStringLiteral("View_Mode")));
        return;
    }
}

// Records an accepted logon in the options object and the settings.
void recordLogon(const LogonEntry& entry) {
    core::cOptions& options = *core::gOptions;
    options.NetMenus = true;
    options.AUAuth = true;
    options.LumiAdminUserName = entry.name;
    const QString saId =
        EncodeString(net::superAdminIdentifier(entry.databasePassword, entry.name, entry.password));
    const QString auId = EncodeString(net::userIdentifier(entry.name, entry.password));
    options.LumiSAID = saId;
    options.LumiAUID = auId;
    net::write(net::kAdminUserName, entry.name);
    net::write(net::kAdminUserPwd, EncodeString(entry.password));
    net::write(net::kLumiNetPwd, EncodeString(entry.databasePassword));
    net::write(net::kLumiSAID, saId);
    net::write(net::kLumiAUID, auId);
}

} // namespace

bool TestNetworkConnection(const LogonEntry& entry) {
    try {
        using platform::db::ConnectionString;
        ConnectionString cs;
        cs.set(ConnectionString::kProvider, core::cConnection::kProvider);
        cs.set(ConnectionString::kDataSource, net::read(net::kLumiNetPath));
        cs.set(ConnectionString::kDatabasePassword, entry.databasePassword);
        cs.set(ConnectionString::kUserId, QStringLiteral("admin"));
        bool passed = false;
        {
            platform::db::Connection test;
            test.open(cs);
            passed = Recordset::open(test, kAccountsQuery).recordCount() > 0;
        }
        if (!passed) {
            say(QStringLiteral(
                "The test query to the database failed.  Check the path and database password."));
            return false;
        }
        net::write(net::kLumiNetPwd, EncodeString(entry.databasePassword));
        core::gCnn->NetCnn();
        return true;
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error, core::appTitle());
        return false;
    }
}

bool LogonNetworkAdminUser(const LogonEntry& entry) {
    core::cOptions& options = *core::gOptions;
    options.NetMenus = false;
    options.SAAuth = false;
    options.AUAuth = false;
    try {
        core::cDB2 query;
        query.SetConnection();
        QString userId;
        QString superAdminId;
        bool found = false;
        {
            Recordset rows;
            if (query.GetRecordset(kAccountsQuery, rows) != core::QueryObject::kRows)
                say(QStringLiteral("Request the Super-Admin to configure the AdminUser accounts."));
            for (; rows.isOpen() && !rows.eof() && !found; rows.moveNext()) {
                if (text(rows, QStringLiteral("AdminUser_Name")).compare(entry.name, Qt::CaseInsensitive) !=
                    0)
                    continue;
                found = true;
                userId = text(rows, QStringLiteral("AdminUser_ID"));
                superAdminId = text(rows, QStringLiteral("SuperAdminUser_ID"));
            }
        }
        if (!found) {
            say(QStringLiteral("You don't have an account on this database."));
            return false;
        }
        if (!ScrambledEquals(userId, net::userIdentifier(entry.name, entry.password))) {
            say(QStringLiteral("Logon attempt failed.  Try again or Cancel and run local."));
            return false;
        }
        options.SAAuth = !superAdminId.isEmpty() &&
                         ScrambledEquals(superAdminId, net::superAdminIdentifier(entry.databasePassword,
                                                                                 entry.name, entry.password));
        recordLogon(entry);
        readProfile(query);
        core::AddMissingIndexes(query.Cnn());
        return true;
    } catch (const std::exception& error) {
        options.NetMenus = options.SAAuth = options.AUAuth = false;
        core::ShowErrorMessage(error, core::appTitle());
        return false;
    }
}

} // namespace admin
