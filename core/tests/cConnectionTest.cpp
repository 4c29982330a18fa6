// The connection descriptor's paths and strings in local and network mode, and the
// folder lookup under it.
#include "core/cConnection.h"

#include "core/StringScrambling.h"
#include "core/cFolderPath.h"
#include "platform/db/ConnectionString.h"
#include "platform/sys/SettingsStore.h"
#include "support/TestEnvironment.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using core::cConnection;
using core::cFolderPath;
using platform::db::ConnectionString;
using platform::sys::kAddInApplication;
using platform::sys::kDesktopApplication;
using platform::sys::writeSetting;

namespace {

const QString P = QStringLiteral("Provider=Lumivane.SQLCipher;Data Source=");

// Every string of the descriptor, to compare states.
QStringList snapshot(const cConnection& c) {
    return {c.LumiCnn(),      c.lumicnnfolder(), c.LumiCnnTemp(),  c.LumiCnnPath(), c.LumiCnnPathTemp(),
            c.OLumiCnnPath(), c.OLumiCnn(),      c.SLumiCnnPath(), c.SLumiCnn()};
}

// Points the common program files folder and the settings at fresh folders.
class ConnectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedCommon_ = qgetenv("LUMIVANE_COMMON_FILES");
        savedConfig_ = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", testsupport::freshDir(QStringLiteral("config")).toLocal8Bit());
        useCommonFolder(testsupport::freshDir(QStringLiteral("machine")) + "/Common Files");
    }
    void TearDown() override {
        qputenv("LUMIVANE_COMMON_FILES", savedCommon_);
        qputenv("XDG_CONFIG_HOME", savedConfig_);
    }
    void useCommonFolder(const QString& folder) {
        common_ = folder;
        qputenv("LUMIVANE_COMMON_FILES", folder.toLocal8Bit());
    }
    static void setNetwork(const QString& path, const QString& password,
                           const QString& application = kDesktopApplication) {
        writeSetting(application, "Network", "LumiNetPath", path);
        writeSetting(application, "Network", "LumiNetPwd", core::EncodeString(password));
    }

    QString common_;
    QByteArray savedCommon_, savedConfig_;
};

TEST_F(ConnectionTest, LocalStringsNameTheDataFolder) {
    cConnection cnn;
    cnn.LocalCnn();
    const QString data = common_ + "/Lumidesk";
    const QString program = QCoreApplication::applicationDirPath();
    EXPECT_EQ(cnn.LumiCnn(), P + data + "/lumimaster.mdb;");
    EXPECT_EQ(cnn.lumicnnfolder(), data);
    EXPECT_EQ(cnn.LumiCnnTemp(), P + data + "/lumimaster2.mdb;");
    EXPECT_EQ(cnn.LumiCnnPath(), data + "/lumimaster.mdb");
    EXPECT_EQ(cnn.LumiCnnPathTemp(), data + "/lumimaster2.mdb");
    EXPECT_EQ(cnn.OLumiCnnPath(), data + "/oldlumimaster.mdb");
    EXPECT_EQ(cnn.OLumiCnn(), P + data + "/oldlumimaster.mdb");
    EXPECT_EQ(cnn.SLumiCnnPath(), program + "/lumixl/samples/sampledb.mdb");
    EXPECT_EQ(cnn.SLumiCnn(), P + program + "/lumixl/samples/sampledb.mdb");
    EXPECT_TRUE(QFileInfo(common_).isDir()) << "the common folder is created when missing";
    EXPECT_FALSE(QFileInfo::exists(data)) << "the data folder is not";
}

struct NetworkCase {
    const char* name;
    QString path;
    QString password;
    QString lumiCnn; // empty: only checked by parsing (quoted values)
    QString folder;
};

TEST_F(ConnectionTest, NetworkStringsFollowTheSettings) {
    const NetworkCase cases[] = {
        {"plain", "/mnt/Budget/lumimaster.mdb", "secret",
         P + "/mnt/Budget/lumimaster.mdb;Jet OLEDB:Database Password=secret;User ID=admin", "/mnt/Budget"},
        {"missing settings", "", "", P + ";Jet OLEDB:Database Password=;User ID=admin", ""},
        {"blank inside the path", "/srv/shared budgets/lumimaster.mdb", "pw",
         P + "/srv/shared budgets/lumimaster.mdb;Jet OLEDB:Database Password=pw;User ID=admin",
         "/srv/shared budgets"},
        {"separators in the password", "/mnt/b/lumimaster.mdb", "a;b=c", {}, "/mnt/b"},
        {"quotes and edge blanks in the password", "/mnt/b/lumimaster.mdb", " 'x\"y; ", {}, "/mnt/b"},
        {"separator in the path", "/mnt/x;y=z/lumimaster.mdb", "pw", {}, "/mnt/x;y=z"},
        {"file name only", "lumimaster.mdb", "pw",
         P + "lumimaster.mdb;Jet OLEDB:Database Password=pw;User ID=admin", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        setNetwork(c.path, c.password);
        cConnection cnn;
        cnn.LocalCnn();
        const QString localPrevious = cnn.OLumiCnnPath();
        const QString localSample = cnn.SLumiCnn();
        cnn.NetCnn();
        if (!c.lumiCnn.isEmpty()) {
            EXPECT_EQ(cnn.LumiCnn(), c.lumiCnn);
        }
        const auto parsed = ConnectionString::parse(cnn.LumiCnn());
        EXPECT_EQ(parsed.value("Provider"), "Lumivane.SQLCipher");
        EXPECT_EQ(parsed.databasePath(), c.path);
        EXPECT_EQ(parsed.password(), c.password);
        EXPECT_EQ(parsed.value("User ID"), "admin");
        EXPECT_FALSE(cnn.LumiCnn().endsWith(';'));

        EXPECT_EQ(cnn.lumicnnfolder(), c.folder);
        EXPECT_EQ(cnn.LumiCnnPath(), c.path);
        EXPECT_EQ(cnn.LumiCnnPathTemp(), c.folder + "/lumimaster2.mdb");
        EXPECT_EQ(ConnectionString::parse(cnn.LumiCnnTemp()).databasePath(), c.folder + "/lumimaster2.mdb");
        EXPECT_FALSE(cnn.LumiCnnTemp().endsWith(';'));
        EXPECT_EQ(cnn.OLumiCnnPath(), localPrevious);
        EXPECT_EQ(cnn.SLumiCnn(), localSample);
    }
}

TEST_F(ConnectionTest, PlainNetworkTempStringHasNoPassword) {
    setNetwork("/mnt/Budget/lumimaster.mdb", "secret");
    cConnection cnn;
    cnn.LocalCnn();
    cnn.NetCnn();
    EXPECT_EQ(cnn.LumiCnnTemp(), P + "/mnt/Budget/lumimaster2.mdb");
    EXPECT_EQ(cnn.OLumiCnnPath(), common_ + "/Lumidesk/oldlumimaster.mdb");
}

TEST_F(ConnectionTest, NetCnnReadsTheSettingsAtEachCall) {
    cConnection cnn;
    cnn.LocalCnn();
    setNetwork("/mnt/one/lumimaster.mdb", "first");
    cnn.NetCnn();
    setNetwork("/mnt/two/lumimaster.mdb", "second");
    cnn.NetCnn();
    EXPECT_EQ(cnn.LumiCnnPath(), "/mnt/two/lumimaster.mdb");
    EXPECT_EQ(ConnectionString::parse(cnn.LumiCnn()).password(), "second");
}

TEST_F(ConnectionTest, LocalCnnAfterNetCnnRestoresEveryString) {
    setNetwork("/mnt/Budget/lumimaster.mdb", "secret");
    cConnection cnn;
    cnn.LocalCnn();
    const QStringList local = snapshot(cnn);
    cnn.NetCnn();
    ASSERT_NE(snapshot(cnn), local);
    cnn.LocalCnn();
    EXPECT_EQ(snapshot(cnn), local);
}

TEST_F(ConnectionTest, SeparatorsInTheCommonFolderSurvive) {
    useCommonFolder(testsupport::freshDir(QStringLiteral("odd")) + "/Common;Files=x");
    cConnection cnn;
    cnn.LocalCnn();
    EXPECT_TRUE(cnn.LumiCnn().endsWith(';'));
    EXPECT_EQ(ConnectionString::parse(cnn.LumiCnn()).databasePath(), cnn.LumiCnnPath());
    EXPECT_EQ(ConnectionString::parse(cnn.LumiCnnTemp()).databasePath(), cnn.LumiCnnPathTemp());
    EXPECT_EQ(ConnectionString::parse(cnn.OLumiCnn()).databasePath(), cnn.OLumiCnnPath());
    EXPECT_EQ(cnn.LumiCnnPath(), common_ + "/Lumidesk/lumimaster.mdb");
}

TEST_F(ConnectionTest, NoCommonFolderLeavesPathsStartingWithTheDataFolderName) {
    const QString parent = testsupport::freshDir(QStringLiteral("blocked"));
    QFile blocker(parent + "/file");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    useCommonFolder(parent + "/file/common"); // cannot be created
    cConnection cnn;
    cnn.LocalCnn();
    EXPECT_EQ(cnn.LumiCnnPath(), "/Lumidesk/lumimaster.mdb");
    EXPECT_EQ(cnn.LumiCnn(), P + "/Lumidesk/lumimaster.mdb;");
}

TEST_F(ConnectionTest, AddInBuildUsesItsOwnSettingsAndSample) {
    setNetwork("/mnt/desk/lumimaster.mdb", "desk");
    setNetwork("/mnt/addin/lumimaster.mdb", "addin", kAddInApplication);
    const QString sample = "/opt/addin/samples/sampledb.mdb";
    cConnection cnn(kAddInApplication, sample);
    cnn.LocalCnn();
    EXPECT_EQ(cnn.SLumiCnnPath(), sample);
    EXPECT_EQ(cnn.SLumiCnn(), P + sample);
    cnn.NetCnn();
    EXPECT_EQ(cnn.LumiCnnPath(), "/mnt/addin/lumimaster.mdb");
}

TEST_F(ConnectionTest, WritingAPathChangesOnlyThatPath) {
    cConnection cnn;
    cnn.LocalCnn();
    QStringList expected = snapshot(cnn);
    cnn.setLumiCnnPath("/moved/lumimaster.mdb");
    expected[3] = "/moved/lumimaster.mdb";
    EXPECT_EQ(snapshot(cnn), expected);
    cnn.MigrateCnn();
    EXPECT_EQ(snapshot(cnn), expected);
}

TEST_F(ConnectionTest, FolderIdentifiers) {
    cFolderPath folders;
    EXPECT_EQ(folders.GetCommonFilesFolderPath(), common_);
    EXPECT_EQ(folders.GetFolderPath(43), common_);
    EXPECT_EQ(folders.GetFolderPath(43 | 0x8000), common_) << "the create flag may be passed along";
    EXPECT_EQ(folders.GetProgramFilesFolderPath(), QCoreApplication::applicationDirPath());
    EXPECT_EQ(folders.GetWindowsFolderPath(), "");
    EXPECT_EQ(folders.GetWindowsSystemFolderPath(), "");
    for (qint32 invalid : {-1, 0, 7, 0x10000 | 43, 255})
        EXPECT_EQ(folders.GetFolderPath(invalid), "") << invalid;
}

} // namespace
