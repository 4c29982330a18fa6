// An editing grid bound to a data control on a real master database: an edit is written to the
// row it was made in; one the database refuses (the row was changed by another connection
// meanwhile) is reported and the grid shows the stored value again.
#include "core/GridBinding.h"

#include "core/tests/MasterDbFixture.h"
#include "platform/ui/EditGrid.h"
#include "support/ScriptedUi.h"

#include <gtest/gtest.h>

namespace {

class GridBinding : public coretest::MasterDbFixture {
protected:
    void SetUp() override {
        MasterDbFixture::SetUp();
        platform::db::Connection cnn = openMaster();
        cnn.execute(QStringLiteral("INSERT INTO FolderNames (Folder_Name) VALUES ('North'), ('South')"));
        control_.setConnectionString(core::gCnn->LumiCnn());
        control_.setRecordSource(QStringLiteral("SELECT Folder_Name FROM FolderNames WHERE Folder_Name <> ? "
                                                "ORDER BY Folder_Name"),
                                 {QStringLiteral("<Dummy record>")});
        platform::ui::DataGridColumn column;
        column.field = QStringLiteral("Folder_Name");
        grid_.setColumns({column});
        binding_.Refresh();
    }

    static QString stored() {
        platform::db::Connection cnn = openMaster();
        return cnn
            .scalar(QStringLiteral("SELECT group_concat(Folder_Name, '|') FROM (SELECT Folder_Name FROM "
                                   "FolderNames WHERE Folder_Name <> '<Dummy record>' ORDER BY rowid)"))
            .toString();
    }

    core::DataControl control_{QStringLiteral("datTest"), nullptr};
    platform::ui::EditGrid grid_;
    core::GridBinding binding_{grid_, control_};
};

TEST_F(GridBinding, AnEditIsWrittenToItsOwnRow) {
    testsupport::ScopedScriptedUi ui;
    grid_.editCell(1, 0, QStringLiteral("Southeast"));
    EXPECT_EQ(stored(), QStringLiteral("North|Southeast"));
    EXPECT_TRUE(ui->messageTexts().isEmpty());
}

TEST_F(GridBinding, ARefusedWriteIsReportedAndTheStoredValueShown) {
    {
        platform::db::Connection other = openMaster();
        other.execute(
            QStringLiteral("UPDATE FolderNames SET Folder_Name = 'Northwest' WHERE Folder_Name = 'North'"));
    }
    testsupport::ScopedScriptedUi ui;
    grid_.editCell(0, 0, QStringLiteral("Northeast"));
    ASSERT_EQ(ui->messageTexts().size(), 1);
    EXPECT_EQ(stored(), QStringLiteral("Northwest|South")) << "the other connection's change stays";
    EXPECT_EQ(grid_.cellText(0, 0), QStringLiteral("Northwest")) << "the grid shows what is stored";
}

} // namespace
