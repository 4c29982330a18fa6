// Test fixture for the network database and its windows: every test gets its own settings, a data folder with
// a copy of the master database the build made (the local database), fresh options and a connection
// descriptor on the local database. A test can put a keyed network copy in a shared folder, with accounts and
// grant columns written the way the program writes them, and read its rows back.
#pragma once

#include "admin/NetworkSettings.h"
#include "core/SharedDatabase.h"
#include "core/StringScrambling.h"
#include "core/cConnection.h"
#include "core/cDB2.h"
#include "core/cDB3.h"
#include "core/cOptions.h"
#include "platform/db/Connection.h"
#include "platform/db/ConnectionString.h"
#include "platform/db/DbError.h"
#include "platform/db/Recordset.h"
#include "platform/sys/SettingsStore.h"
#include "platform/ui/LoadedWindows.h"
#include "support/NetworkDatabaseFile.h"
#include "support/QtPrinters.h"
#include "support/ScriptedUi.h"
#include "support/TestEnvironment.h"
#include "support/WindowScript.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QWidget>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>

namespace admintest {

using testsupport::click;
using testsupport::control;
using testsupport::type;

using platform::db::Connection;
using platform::db::Recordset;

using testsupport::Account;
using testsupport::WindowScript;

class NetworkDbFixture : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = {qEnvironmentVariable("LUMIVANE_COMMON_FILES"), qEnvironmentVariable("XDG_CONFIG_HOME")};
        setenv("XDG_CONFIG_HOME", qPrintable(testsupport::freshDir(QStringLiteral("config"))), 1);
        const QString common = testsupport::freshDir(QStringLiteral("common"));
        setenv("LUMIVANE_COMMON_FILES", qPrintable(common), 1);
        QDir().mkpath(common + QStringLiteral("/Lumidesk"));
        localPath_ = common + QStringLiteral("/Lumidesk/lumimaster.mdb");
        copyBuiltMaster(localPath_);

        core::gOptions = std::make_unique<core::cOptions>();
        core::gOptions->DatabaseMode = QStringLiteral("Local");
        core::gCnn = std::make_unique<core::cConnection>();
        core::gCnn->LocalCnn();
    }

    void TearDown() override {
        // The program's windows a test left open (not the test's own widgets).
        QList<QPointer<QWidget>> windows;
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->objectName().startsWith(QStringLiteral("frm")))
                windows << window;
        for (const QPointer<QWidget>& window : windows)
            delete window.data();
        core::ReleaseSharedConnections();
        core::gCnn.reset();
        core::gOptions.reset();
        setenv("LUMIVANE_COMMON_FILES", qPrintable(saved_.first), 1);
        setenv("XDG_CONFIG_HOME", qPrintable(saved_.second), 1);
    }

    static void copyBuiltMaster(const QString& path) {
        ASSERT_TRUE(QFile::copy(QStringLiteral(LUMIVANE_MASTER_DB), path)) << path.toStdString();
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    }

    // A keyed network copy in a shared folder, with AdminUsers and these accounts (the first
    // is the super-administrator, with a grant column of its own like every account), its
    // path in the settings. The program stays on the local database.
    QString makeNetworkDatabase(const QString& password, const QList<Account>& accounts) {
        netPassword_ = password;
        netPath_ = testsupport::freshDir(QStringLiteral("share")) + QStringLiteral("/lumimaster.mdb");
        testsupport::makeNetworkDatabaseFile(netPath_, password, accounts);
        admin::net::write(admin::net::kLumiNetPath, netPath_);
        return netPath_;
    }

    void addAccount(const Account& account) {
        testsupport::addNetworkAccount(netPath_, netPassword_, account, false);
    }

    // The profile row the creation writes beside the placeholder.
    void writeProfile(const QString& name, const QString& copyPermissions, const QString& viewMode) {
        Connection db = openNetwork();
        db.execute(QStringLiteral("INSERT INTO SuperAdminUser VALUES (?, ?, ?)"),
                   {name, core::EncodeString(copyPermissions), core::EncodeString(viewMode)});
    }

    // Makes the network database current as an accepted logon leaves it.
    void logOn(const Account& account, bool superAdmin) {
        admin::net::write(admin::net::kLumiNetPwd, core::EncodeString(netPassword_));
        core::gCnn->NetCnn();
        core::cOptions& options = *core::gOptions;
        options.DatabaseMode = QStringLiteral("Network");
        options.NetMenus = options.AUAuth = options.LoggedOn = true;
        options.SAAuth = superAdmin;
        options.LumiAdminUserName = account.name;
        options.LumiAUID = core::EncodeString(account.name + account.password);
        options.LumiSAID = core::EncodeString(netPassword_ + account.name + account.password);
    }

    static Connection openFile(const QString& path, const QString& password = {}) {
        return testsupport::openDatabaseFile(path, password);
    }
    // Whether the file opens as a database with that password (none: a plain file).
    static bool opens(const QString& path, const QString& password) {
        try {
            openFile(path, password).scalar(QStringLiteral("SELECT count(*) FROM Budgets"));
            return true;
        } catch (const platform::db::DbError&) {
            return false;
        }
    }
    Connection openNetwork() const { return openFile(netPath_, netPassword_); }
    Connection openLocal() const { return openFile(localPath_); }

    // The values of one column of a query's rows, as text.
    static QStringList column(Connection& db, const QString& sql, const QVariantList& params = {}) {
        QStringList values;
        for (Recordset rows = Recordset::open(db, sql, params); !rows.eof(); rows.moveNext())
            values << rows.value(0).toString();
        return values;
    }

    static QString setting(const QString& key) { return admin::net::read(key); }

    // Lets windows that closed themselves be deleted, so a QPointer on them reads null.
    static void processDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    QString localPath_;
    QString netPath_;
    QString netPassword_;

private:
    std::pair<QString, QString> saved_;
};

} // namespace admintest
