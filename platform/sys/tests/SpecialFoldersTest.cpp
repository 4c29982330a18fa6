// The special folders: the common files folder from the environment, made only when asked, and
// the folders by their identifiers.
#include "platform/sys/SpecialFolders.h"

#include "support/TestEnvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace platform::sys;

namespace {

// Restores the folder variables a test changes.
class SpecialFoldersTest : public ::testing::Test {
protected:
    void SetUp() override {
        common_ = qgetenv("LUMIVANE_COMMON_FILES");
        data_ = qgetenv("XDG_DATA_HOME");
    }
    void TearDown() override {
        qputenv("LUMIVANE_COMMON_FILES", common_);
        qputenv("XDG_DATA_HOME", data_);
    }
    QByteArray common_, data_;
};

TEST_F(SpecialFoldersTest, CommonFilesFolderFollowsTheEnvironment) {
    const QString common = testsupport::freshDir(QStringLiteral("common"));
    const QString data = testsupport::freshDir(QStringLiteral("data"));
    qputenv("LUMIVANE_COMMON_FILES", (common + "/").toLocal8Bit());
    qputenv("XDG_DATA_HOME", data.toLocal8Bit());
    EXPECT_EQ(commonFilesFolder(), common); // no closing "/"

    qunsetenv("LUMIVANE_COMMON_FILES");
    EXPECT_EQ(commonFilesFolder(), data);

    qputenv("LUMIVANE_COMMON_FILES", "");
    qputenv("XDG_DATA_HOME", "not/absolute");
    EXPECT_EQ(commonFilesFolder(), QDir::homePath() + "/.local/share");
}

TEST_F(SpecialFoldersTest, MissingCommonFolderIsCreatedOnlyWhenAsked) {
    const QString missing = testsupport::freshDir(QStringLiteral("parent")) + "/machine/common";
    qputenv("LUMIVANE_COMMON_FILES", missing.toLocal8Bit());
    EXPECT_EQ(folderPath(kCommonFilesFolderId, false), "");
    EXPECT_FALSE(QFileInfo::exists(missing));
    EXPECT_EQ(folderPath(kCommonFilesFolderId, true), missing);
    EXPECT_TRUE(QFileInfo(missing).isDir());
}

TEST_F(SpecialFoldersTest, CommonFolderThatCannotBeCreatedGivesEmptyText) {
    const QString parent = testsupport::freshDir(QStringLiteral("file"));
    QFile plain(parent + "/plain");
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    qputenv("LUMIVANE_COMMON_FILES", (parent + "/plain/common").toLocal8Bit());
    EXPECT_EQ(folderPath(kCommonFilesFolderId, true), "");
}

TEST_F(SpecialFoldersTest, IdentifiersMapToTheirFolders) {
    EXPECT_EQ(programFolder(), QCoreApplication::applicationDirPath());
    EXPECT_EQ(folderPath(kProgramFilesFolderId, true), QCoreApplication::applicationDirPath());
    EXPECT_EQ(folderPath(kWindowsFolderId, true), "");
    EXPECT_EQ(folderPath(kSystemFolderId, true), "");
    for (int unknown : {-1, 0, 5, 42, 0x802b, 1000})
        EXPECT_EQ(folderPath(unknown, true), "") << unknown;
}

} // namespace
