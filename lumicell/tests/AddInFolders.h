// The folders an add-in test works in: a data folder of its own (LUMIVANE_COMMON_FILES) holding a
// copy of the master database the build made, and settings of both programs started afresh.
#pragma once

#include "platform/sys/SettingsStore.h"
#include "support/DatabaseFile.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <cstdlib>
#include <gtest/gtest.h>

namespace lumicelltest {

class AddInFolders {
public:
    AddInFolders() {
        previousCommon_ = qEnvironmentVariable("LUMIVANE_COMMON_FILES");
        common_ = testsupport::freshDir(QStringLiteral("common"));
        setenv("LUMIVANE_COMMON_FILES", qPrintable(common_), 1);
        QDir().mkpath(dataFolder());
        QFile::remove(platform::sys::settingsFilePath(platform::sys::kDesktopApplication));
        QFile::remove(platform::sys::settingsFilePath(platform::sys::kAddInApplication));
    }
    ~AddInFolders() { setenv("LUMIVANE_COMMON_FILES", qPrintable(previousCommon_), 1); }

    QString dataFolder() const { return common_ + QStringLiteral("/Lumidesk"); }
    QString masterPath() const { return dataFolder() + QStringLiteral("/lumimaster.mdb"); }
    QString previousPath() const { return dataFolder() + QStringLiteral("/oldlumimaster.mdb"); }

    // A connection of the test's own to the master database, as another program would open it.
    platform::db::Connection openMaster() const { return testsupport::openDatabaseFile(masterPath()); }

    // A copy of the master database the build made at the path.
    static void copyBuiltMaster(const QString& path) {
        ASSERT_TRUE(QFile::copy(QStringLiteral(LUMIVANE_MASTER_DB), path)) << path.toStdString();
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    }

private:
    QString common_;
    QString previousCommon_;
};

inline QString setting(const QString& application, const char* section, const char* key) {
    return platform::sys::readSetting(application, QString::fromLatin1(section), QString::fromLatin1(key),
                                      QStringLiteral("<none>"));
}

inline void writeSetting(const QString& application, const char* section, const char* key,
                         const QString& value) {
    platform::sys::writeSetting(application, QString::fromLatin1(section), QString::fromLatin1(key), value);
}

} // namespace lumicelltest
