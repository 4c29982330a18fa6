// Test fixture for the upkeep of the master database: every test gets its own data folder
// holding a copy of the master database the build made, a program folder, fresh options
// and a connection descriptor built for that data folder, and no backup of record. A test
// can switch to a keyed network copy of the same database.
#pragma once

#include "core/StringScrambling.h"
#include "core/cConnection.h"
#include "core/cDB2.h"
#include "core/cDB3.h"
#include "core/cOptions.h"
#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "platform/db/Recordset.h"
#include "platform/sys/SettingsStore.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QWidget>
#include <cstdlib>
#include <gtest/gtest.h>

namespace coretest {

class MasterDbFixture : public ::testing::Test {
protected:
    void SetUp() override {
        previousCommon_ = qEnvironmentVariable("LUMIVANE_COMMON_FILES");
        common_ = testsupport::freshDir(QStringLiteral("common"));
        setenv("LUMIVANE_COMMON_FILES", qPrintable(common_), 1);
        QDir().mkpath(common_ + QStringLiteral("/Lumidesk"));
        copyBuiltMaster(common_ + QStringLiteral("/Lumidesk/lumimaster.mdb"));

        for (const auto& [section, key] :
             {std::pair{"General", "BackupPath"}, {"Runtime", "UncorrectedErrors"}})
            platform::sys::deleteSetting(platform::sys::kDesktopApplication, section, key);

        core::gOptions = std::make_unique<core::cOptions>();
        core::gOptions->AppPath = testsupport::freshDir(QStringLiteral("program"));
        core::gCnn = std::make_unique<core::cConnection>();
        core::gCnn->LocalCnn();
    }

    void TearDown() override {
        core::gDB2.reset();
        core::gDB3.reset();
        core::gCnn.reset();
        core::gOptions.reset();
        setenv("LUMIVANE_COMMON_FILES", qPrintable(previousCommon_), 1);
    }

    static void copyBuiltMaster(const QString& path) {
        ASSERT_TRUE(QFile::copy(QStringLiteral(LUMIVANE_MASTER_DB), path)) << path.toStdString();
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    }

    // Makes a keyed network copy of the master database current, as a logon would.
    QString useNetworkDatabase(const QString& password) {
        const QString folder = testsupport::freshDir(QStringLiteral("share"));
        const QString path = folder + QStringLiteral("/lumimaster.mdb");
        copyBuiltMaster(path);
        platform::db::Connection::setPassword(path, {}, password);
        platform::sys::writeSetting(platform::sys::kDesktopApplication, QStringLiteral("Network"),
                                    QStringLiteral("LumiNetPath"), path);
        platform::sys::writeSetting(platform::sys::kDesktopApplication, QStringLiteral("Network"),
                                    QStringLiteral("LumiNetPwd"), core::EncodeString(password));
        core::gCnn->NetCnn();
        return path;
    }

    // A new connection on the master database in use.
    static platform::db::Connection openMaster() {
        platform::db::Connection connection;
        connection.open(core::gCnn->LumiCnn());
        return connection;
    }

    // A statement and a query of the master database in use, each on a connection of its own.
    static void execute(const QString& sql, const QVariantList& params = {}) {
        platform::db::Connection cnn = openMaster();
        cnn.execute(sql, params);
    }
    static QVariant scalar(const QString& sql, const QVariantList& params = {}) {
        platform::db::Connection cnn = openMaster();
        return cnn.scalar(sql, params);
    }
    // The rows of a query, each as its fields joined by "|", a Null written as nullText.
    static QStringList tableRows(const QString& sql, const QVariantList& params = {},
                                 const QString& nullText = QStringLiteral("-")) {
        platform::db::Connection cnn = openMaster();
        platform::db::Recordset rst = platform::db::Recordset::open(cnn, sql, params);
        QStringList out;
        for (; !rst.eof(); rst.moveNext()) {
            QStringList fields;
            for (int i = 0; i < rst.fieldCount(); ++i)
                fields << (rst.isNull(i) ? nullText : rst.value(i).toString());
            out << fields.join(u'|');
        }
        return out;
    }

    QString masterPath() const { return core::gCnn->LumiCnnPath(); }

    // Whether another program could write to the master database now: its own write
    // transaction begins (a database held by a step makes it wait the busy timeout and fail).
    static bool othersCanWrite() {
        try {
            platform::db::Connection other = openMaster();
            other.beginTransaction();
            other.rollback();
            return true;
        } catch (const platform::db::DbError&) {
            return false;
        }
    }

    static QString setting(const char* section, const char* key) {
        return platform::sys::readSetting(platform::sys::kDesktopApplication, QString::fromLatin1(section),
                                          QString::fromLatin1(key));
    }

    // A loaded, shown top-level window of that form name, as the windows the upkeep closes.
    static QWidget* loadFakeForm(const QString& name) {
        auto* window = new QWidget;
        window->setObjectName(name);
        window->show();
        return window;
    }

    QString common_;

private:
    QString previousCommon_;
};

} // namespace coretest
