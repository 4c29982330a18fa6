// The options object's operations against a fresh settings store.
#include "core/cOptions.h"

#include "platform/sys/SettingsStore.h"
#include "support/TestEnvironment.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

using core::cOptions;
using core::gOptions;
using platform::sys::kDesktopApplication;
using platform::sys::readSetting;
using platform::sys::writeSetting;

namespace {

class OptionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", testsupport::freshDir(QStringLiteral("config")).toLocal8Bit());
    }
    void TearDown() override {
        qputenv("XDG_CONFIG_HOME", previous_);
        gOptions.reset();
    }
    QByteArray previous_;
};

TEST_F(OptionsTest, ReadValuesTakesTheProgramFolderAndFirstWizardPage) {
    cOptions options;
    options.ReadValues();
    EXPECT_EQ(options.AppPath, QCoreApplication::applicationDirPath());
    EXPECT_EQ(options.WizPageRequest, 1);
}

TEST_F(OptionsTest, EmptyStoreGivesEmailRepliesOnAndMailOnOpenOff) {
    cOptions options;
    options.EmailReplys = false;
    options.RetrieveMailOnOpen = true;
    options.GetMFInfo();
    EXPECT_TRUE(options.EmailReplys);
    EXPECT_FALSE(options.RetrieveMailOnOpen);
}

struct FlagCase {
    const char* stored;
    std::optional<bool> read; // no value: the field keeps what it had
};

TEST_F(OptionsTest, StoredFlagsFollowTheTextToBooleanRule) {
    const FlagCase cases[] = {
        {"True", true}, {"1", true},  {"False", false}, {"0", false},
        {"yes", {}},    {"-1", true}, {"tRuE", true},   {"", {}},
    };
    for (const auto& c : cases) {
        writeSetting(kDesktopApplication, "Options", "EmailReplys", c.stored);
        writeSetting(kDesktopApplication, "Runtime", "Xvalue", c.stored);
        for (const bool before : {false, true}) {
            cOptions options;
            options.EmailReplys = before;
            options.RetrieveMailOnOpen = before;
            options.GetMFInfo();
            const bool expected = c.read.value_or(before);
            EXPECT_EQ(options.EmailReplys, expected) << c.stored << " from " << before;
            EXPECT_EQ(options.RetrieveMailOnOpen, expected) << c.stored << " from " << before;
        }
    }
}

TEST_F(OptionsTest, SettingsAreFoundWhateverTheirCase) {
    writeSetting(kDesktopApplication, "OPTIONS", "emailreplys", "0");
    writeSetting(kDesktopApplication, "runtime", "XVALUE", "1");
    cOptions options;
    options.GetMFInfo();
    EXPECT_FALSE(options.EmailReplys);
    EXPECT_TRUE(options.RetrieveMailOnOpen);
}

TEST_F(OptionsTest, WriteValuesSavesTheProgramsBudgetContext) {
    gOptions = std::make_unique<cOptions>();
    gOptions->BudgetNameContext = "Budget 2025";
    cOptions other;
    other.BudgetNameContext = "Ignored";
    other.WriteValues();
    EXPECT_EQ(readSetting(kDesktopApplication, "Runtime", "BudgetNameContext", "absent"), "Budget 2025");

    gOptions->BudgetNameContext.clear();
    gOptions->WriteValues();
    EXPECT_EQ(readSetting(kDesktopApplication, "Runtime", "BudgetNameContext", "absent"), "");
}

TEST_F(OptionsTest, WriteValuesWithoutTheProgramsOptionsDoesNothing) {
    cOptions lone;
    lone.BudgetNameContext = "Lone";
    lone.WriteValues();
    EXPECT_EQ(readSetting(kDesktopApplication, "Runtime", "BudgetNameContext", "absent"), "absent");
}

} // namespace
