// Completing a typed part of a name against a table of the master database: the name equal to
// the text first, then the first or the only name holding it, the text taken literally, the
// placeholder row never a completion.
#include "core/NameCompletion.h"

#include "core/tests/MasterDbFixture.h"

namespace {

using core::Completion;

class NameCompletionTest : public coretest::MasterDbFixture {
protected:
    void SetUp() override {
        MasterDbFixture::SetUp();
        execute("INSERT INTO FolderNames (Folder_Name) VALUES ('Sales East'), ('Sales'), ('Salaries'), "
                "('100% Club'), "
                "('Net_Gain'), ('NetXGain')");
        cnn_ = openMaster();
    }
    std::optional<QString> complete(const QString& typed, Completion rule) {
        return core::CompleteName(cnn_, QStringLiteral("FolderNames"), QStringLiteral("Folder_Name"), typed,
                                  rule);
    }

    platform::db::Connection cnn_;
};

TEST_F(NameCompletionTest, TheEqualNameWinsThenTheFirstOrTheOnlyNameHoldingTheText) {
    struct Case {
        const char* typed;
        const char* first; // "" for none
        const char* only;
    };
    for (const Case& c : {Case{"Sales", "Sales", "Sales"}, Case{"sales", "Sales", "Sales"},
                          Case{"Sal", "Sales East", ""}, Case{"East", "Sales East", "Sales East"},
                          Case{"0%", "100% Club", "100% Club"}, Case{"t_G", "Net_Gain", "Net_Gain"},
                          Case{"Dummy", "", ""}, Case{"", "", ""}, Case{"Nowhere", "", ""}}) {
        EXPECT_EQ(complete(QString::fromLatin1(c.typed), Completion::FirstFound).value_or(QString()),
                  QString::fromLatin1(c.first))
            << c.typed;
        EXPECT_EQ(complete(QString::fromLatin1(c.typed), Completion::OnlyOne).value_or(QString()),
                  QString::fromLatin1(c.only))
            << c.typed;
    }
}

TEST_F(NameCompletionTest, NamesContainingAreInTableOrderUpToTheLimit) {
    EXPECT_EQ(core::NamesContaining(cnn_, "FolderNames", "Folder_Name", "Sal"),
              (QStringList{"Sales East", "Sales", "Salaries"}));
    EXPECT_EQ(core::NamesContaining(cnn_, "FolderNames", "Folder_Name", "Sal", 2),
              (QStringList{"Sales East", "Sales"}));
    EXPECT_EQ(core::NamesContaining(cnn_, "FolderNames", "Folder_Name", "record"), QStringList{});
}

} // namespace
