// The settings store (its file, case, values, access, damaged and unwritable files) and the
// setting text rules.
#include "platform/sys/SettingsStore.h"

#include "platform/sys/SettingText.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <gtest/gtest.h>

using namespace platform::sys;

namespace {

// Points the settings store at an empty configuration folder for one test.
class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = qgetenv("XDG_CONFIG_HOME");
        config_ = testsupport::freshDir(QStringLiteral("config"));
        qputenv("XDG_CONFIG_HOME", config_.toLocal8Bit());
    }
    void TearDown() override { qputenv("XDG_CONFIG_HOME", previous_); }

    QString config_;
    QByteArray previous_;
};

TEST_F(SettingsStoreTest, FileLivesBelowTheConfigurationFolderPerApplication) {
    EXPECT_EQ(settingsFilePath(kDesktopApplication), config_ + "/Lumivane/Lumivane.ini");
    EXPECT_EQ(settingsFilePath(kAddInApplication), config_ + "/Lumivane/LumivaneXL.ini");
    ASSERT_TRUE(writeSetting(kAddInApplication, "Runtime", "ReplaceDB", "1"));
    EXPECT_TRUE(QFileInfo::exists(config_ + "/Lumivane/LumivaneXL.ini"));
    EXPECT_FALSE(QFileInfo::exists(config_ + "/Lumivane/Lumivane.ini"));
    // The two applications do not see each other's values.
    EXPECT_EQ(readSetting(kDesktopApplication, "Runtime", "ReplaceDB", "0"), "0");
}

TEST_F(SettingsStoreTest, WithoutHomeConfigVariableUsesDotConfig) {
    qputenv("XDG_CONFIG_HOME", "");
    EXPECT_EQ(settingsFilePath(kDesktopApplication), QDir::homePath() + "/.config/Lumivane/Lumivane.ini");
    qputenv("XDG_CONFIG_HOME", "relative/folder");
    EXPECT_EQ(settingsFilePath(kDesktopApplication), QDir::homePath() + "/.config/Lumivane/Lumivane.ini");
}

TEST_F(SettingsStoreTest, AbsentSettingGivesTheDefault) {
    EXPECT_EQ(readSetting(kDesktopApplication, "Options", "EmailReplys", "1"), "1");
    writeSetting(kDesktopApplication, "Options", "Splash", "0");
    EXPECT_EQ(readSetting(kDesktopApplication, "Options", "EmailReplys", "1"), "1");
    EXPECT_EQ(readSetting(kDesktopApplication, "Network", "LumiNetPath"), "");
}

TEST_F(SettingsStoreTest, SectionsAndKeysMatchWithoutRegardToCase) {
    ASSERT_TRUE(writeSetting(kDesktopApplication, "Options", "Scrollbars", "True"));
    EXPECT_EQ(readSetting(kDesktopApplication, "options", "ScrollBars", "x"), "True");
    EXPECT_EQ(readSetting(kDesktopApplication, "OPTIONS", "SCROLLBARS", "x"), "True");
    // Writing under another spelling replaces the one value rather than adding a second.
    ASSERT_TRUE(writeSetting(kDesktopApplication, "OPTIONS", "ScrollBars", "False"));
    EXPECT_EQ(readSetting(kDesktopApplication, "Options", "Scrollbars", "x"), "False");
    QSettings raw(settingsFilePath(kDesktopApplication), QSettings::IniFormat);
    EXPECT_EQ(raw.allKeys().size(), 1);
}

TEST_F(SettingsStoreTest, DeleteRemovesOnlyThatSetting) {
    writeSetting(kDesktopApplication, "Runtime", "Zvalue", "secret");
    writeSetting(kDesktopApplication, "Runtime", "Xvalue", "1");
    ASSERT_TRUE(deleteSetting(kDesktopApplication, "RUNTIME", "zvalue"));
    EXPECT_EQ(readSetting(kDesktopApplication, "Runtime", "Zvalue", "none"), "none");
    EXPECT_EQ(readSetting(kDesktopApplication, "Runtime", "Xvalue", "0"), "1");
    EXPECT_TRUE(deleteSetting(kDesktopApplication, "Runtime", "NeverWritten"));
    EXPECT_TRUE(deleteSetting(kAddInApplication, "Runtime", "NoFileYet"));
}

// Scrambled passwords use every printable character; paths hold blanks and separators.
TEST_F(SettingsStoreTest, ValuesComeBackExactly) {
    const QStringList values = {
        "4\"#-33Cnf3mZZ3RvO",
        "a,b, c",
        "@Variant(x)",
        "x=1;y='2' \\back\\ #hash [sect]",
        " leading and trailing ",
        "",
        QString::fromUtf8("Zürich \xE2\x82\xAC"),
        "line1\nline2",
    };
    for (int i = 0; i < values.size(); ++i) {
        const QString key = QStringLiteral("Key%1").arg(i);
        ASSERT_TRUE(writeSetting(kDesktopApplication, "General", key, values[i]));
        EXPECT_EQ(readSetting(kDesktopApplication, "General", key, "default"), values[i]) << i;
    }
}

TEST_F(SettingsStoreTest, NamesThatWouldNestOrBeEmptyAreRefused) {
    EXPECT_FALSE(writeSetting(kDesktopApplication, "Runtime", "a/b", "1"));
    EXPECT_FALSE(writeSetting(kDesktopApplication, "Run\\time", "a", "1"));
    EXPECT_FALSE(writeSetting(kDesktopApplication, "Runtime", "", "1"));
    writeSetting(kDesktopApplication, "Runtime", "Keep", "1");
    // An empty key must not remove the whole section.
    EXPECT_FALSE(deleteSetting(kDesktopApplication, "Runtime", ""));
    EXPECT_EQ(readSetting(kDesktopApplication, "Runtime", "Keep", "0"), "1");
    EXPECT_EQ(readSetting(kDesktopApplication, "Runtime", "", "d"), "d");
}

TEST_F(SettingsStoreTest, FileIsReadableByItsOwnerOnly) {
    ASSERT_TRUE(writeSetting(kDesktopApplication, "Network", "LumiNetPwd", "3Cnf"));
    const QString path = settingsFilePath(kDesktopApplication);
    const auto ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    EXPECT_EQ(QFile::permissions(path) &
                  ~QFileDevice::Permissions(QFileDevice::ReadUser | QFileDevice::WriteUser),
              ownerOnly);
    // A file found with wider access is narrowed by the next write.
    QFile::setPermissions(path, ownerOnly | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    ASSERT_TRUE(writeSetting(kDesktopApplication, "Network", "LumiNetPwd", "3mZZ"));
    EXPECT_EQ(QFile::permissions(path) &
                  ~QFileDevice::Permissions(QFileDevice::ReadUser | QFileDevice::WriteUser),
              ownerOnly);
}

// A file the store cannot read (bytes no settings file holds) is kept aside under another name,
// with every byte, before a fresh file takes the setting; the write says it succeeded.
TEST_F(SettingsStoreTest, AGarbageFileIsKeptAsideAndTheWriteSucceeds) {
    const QString path = settingsFilePath(kDesktopApplication);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QByteArray garbage("[Runtime]\nKeep=1\n");
    for (int i = 0; i < 256; ++i)
        garbage += char(255 - i);
    garbage += "\n[Open\n=x\n\x00\x01";
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(garbage);
    file.close();
    ASSERT_EQ(QSettings(path, QSettings::IniFormat).status(), QSettings::FormatError)
        << "the fixture must be a file the settings reader refuses";

    EXPECT_TRUE(writeSetting(kDesktopApplication, "Runtime", "Xvalue", "1"));
    EXPECT_EQ(readSetting(kDesktopApplication, "Runtime", "Xvalue", "0"), "1");
    QFile aside(path + ".unreadable");
    ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
    EXPECT_EQ(aside.readAll(), garbage);
    EXPECT_EQ(QFile::permissions(aside.fileName()) & (QFileDevice::ReadGroup | QFileDevice::ReadOther),
              QFileDevice::Permissions());
}

// Reading alone narrows a file found with wider access too.
TEST_F(SettingsStoreTest, ReadingNarrowsTheFilesAccess) {
    ASSERT_TRUE(writeSetting(kDesktopApplication, "Runtime", "Keep", "1"));
    const QString path = settingsFilePath(kDesktopApplication);
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                                    QFileDevice::ReadOther);
    EXPECT_EQ(readSetting(kDesktopApplication, "Runtime", "Keep", "0"), "1");
    EXPECT_EQ(QFile::permissions(path) & (QFileDevice::ReadGroup | QFileDevice::ReadOther),
              QFileDevice::Permissions());
}

TEST_F(SettingsStoreTest, UnwritableFolderReportsFailure) {
    const QString blocked = testsupport::freshDir(QStringLiteral("blocked"));
    // A plain file where the settings folder should be makes the write impossible.
    QFile blocker(blocked + "/Lumivane");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    qputenv("XDG_CONFIG_HOME", blocked.toLocal8Bit());
    EXPECT_FALSE(writeSetting(kDesktopApplication, "Runtime", "Xvalue", "1"));
    EXPECT_EQ(readSetting(kDesktopApplication, "Runtime", "Xvalue", "0"), "0");
}

struct FlagCase {
    const char* text;
    std::optional<bool> expected;
};

TEST(SettingText, TextToBooleanRule) {
    const FlagCase cases[] = {
        {"True", true}, {"true", true}, {"TRUE", true}, {"False", false}, {"fALSE", false},
        {"1", true},    {"0", false},   {"-1", true},   {"2", true},      {" 1 ", true},
        {"0.0", false}, {"1.5", true},  {"yes", {}},    {"no", {}},       {"", {}},
        {"Truee", {}},  {"1x", {}},     {"nan", {}},    {"inf", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(textToBool(QString::fromLatin1(c.text)), c.expected) << c.text;
}

struct IntCase {
    const char* text;
    std::optional<qint32> expected;
};

TEST(SettingText, TextToIntegerRule) {
    const IntCase cases[] = {
        {"0", 0},           {"15", 15},  {"-7", -7},
        {" 42 ", 42},       {"2.5", 2},  {"3.5", 4},
        {"-2.5", -2},       {"2.51", 3}, {"2147483647", 2147483647},
        {"2147483648", {}}, {"abc", {}}, {"", {}},
        {"12abc", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(textToInt(QString::fromLatin1(c.text)), c.expected) << c.text;
}

TEST(SettingText, WrittenForms) {
    EXPECT_EQ(boolToText(true), "True");
    EXPECT_EQ(boolToText(false), "False");
    EXPECT_EQ(intToText(0), "0");
    EXPECT_EQ(intToText(-12), "-12");
    EXPECT_EQ(intToText(4800), "4800");
    EXPECT_EQ(textToBool(boolToText(false)), false);
}

} // namespace
