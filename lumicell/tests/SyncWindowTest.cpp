// The Sync dialog over Budget.xlsx open in the spreadsheet program: ">" records a sheet with its
// master file's key and refuses an empty name and another master file's sheet name, Delete
// Record deletes the record of exactly that name, and Clear Records rebuilds the master file's
// records in one piece, touching no other master file whose name holds this one's.
#include "BuildBudgetFixture.h"
#include "lumicell/buildbudget/WorksheetRecordSync.h"
#include "lumicell/buildbudget/frmSync.h"
#include "platform/ui/ListBox.h"

#include <QLabel>
#include <QPushButton>

namespace {

using lumicell::frmSync;
using lumicelltest::BuildBudgetFixture;
using platform::ui::Answer;

class SyncWindowTest : public BuildBudgetFixture {
protected:
    void SetUp() override {
        BuildBudgetFixture::SetUp();
        key_ = registerBudgetWorkbook("Sales");
        // Another master file whose name holds this one's, with records of its own.
        execute("INSERT INTO MasterFiles (Master_File, Path, Budget_Name) VALUES ('OldBudget.xlsx', '/old', "
                "'Sales')");
        execute("INSERT INTO Worksheets (Worksheet_Name, Master_File, Budget_Name) VALUES ('Forecast', "
                "'OldBudget.xlsx', 'Sales')");
        execute(
            "INSERT INTO UserFileTablesData (User_Filename, Master_File, Budget_Name) VALUES ('Sales.xlsx', "
            "'Budget.xlsx', 'Sales'), ('Forecast.xlsx', 'OldBudget.xlsx', 'Sales')");
        openInHost(copyMaster("Budget.xlsx"));
        options().GetMFInfo(&app_);
        options().BudgetNameContext = QStringLiteral("Sales");
        dialog_ = &frmSync::open();
    }
    static QStringList entries(const platform::ui::ListBox& list) {
        QStringList texts;
        for (int i = 0; i < list.listCount(); ++i)
            texts << list.subItem(i);
        return texts;
    }
    QStringList records() const {
        return rows(
            "SELECT Worksheet_Name, Master_File, MasterFiles_ID FROM Worksheets WHERE Budget_Name = 'Sales' "
            "ORDER BY Master_File, Worksheet_Name");
    }
    QString key(qint64 id) const { return QString::number(id); }

    qint64 key_ = 0;
    frmSync* dialog_ = nullptr;
};

TEST_F(SyncWindowTest, TheTwoListsShowTheSheetsAndTheRecordsOfThisMasterFile) {
    EXPECT_EQ(dialog_->windowTitle(), u"Syncrhonize database with workbook");
    EXPECT_EQ(entries(*dialog_->lbxWB()), (QStringList{"Sales", "Costs", "Rates", "Summary"}));
    EXPECT_EQ(entries(*dialog_->lbxDB()), (QStringList{"Costs", "Rates", "Sales", "Summary"}));
    EXPECT_TRUE(dialog_->lblTitle()->text().startsWith(u"LumivaneXL Ver "));
}

TEST_F(SyncWindowTest, AddRecordsASheetWithItsMasterFilesKeyAndRefusesAnEmptyName) {
    execute("DELETE FROM Worksheets WHERE Worksheet_Name = 'Rates'");
    dialog_->LoadSyncDatabaseList();
    ui_->answerMessages({Answer::Ok});
    dialog_->cmdAddRec_Click(); // nothing selected in the workbook list
    EXPECT_EQ(ui_->messageTexts(), QStringList{lumicell::kEmptySheetNameText});
    dialog_->lbxWB()->selectEntry(2);
    dialog_->cmdAddRec_Click();
    EXPECT_EQ(rows("SELECT MasterFiles_ID FROM Worksheets WHERE Worksheet_Name = 'Rates'"),
              QStringList{key(key_)});
    EXPECT_TRUE(entries(*dialog_->lbxDB()).contains("Rates"));
    EXPECT_EQ(rows("SELECT COUNT(*) FROM Worksheets WHERE Worksheet_Name = ''"), QStringList{"0"});
}

TEST_F(SyncWindowTest, DeleteRecordDeletesOnlyTheRecordOfExactlyThatName) {
    dialog_->lbxDB()->selectEntry(entries(*dialog_->lbxDB()).indexOf("Rates"));
    dialog_->cmdDelRec_Click();
    EXPECT_EQ(entries(*dialog_->lbxDB()), (QStringList{"Costs", "Sales", "Summary"}));
    dialog_->lbxDB()->clearSelection();
    dialog_->cmdDelRec_Click(); // nothing selected: nothing deleted
    EXPECT_EQ(records().size(), 4);
}

TEST_F(SyncWindowTest, ClearRecordsRebuildsThisMasterFilesRecordsWithTheirKey) {
    execute("UPDATE Worksheets SET MasterFiles_ID = NULL, Folder_Name = 'North' WHERE Master_File = "
            "'Budget.xlsx'");
    execute(
        "INSERT INTO Worksheets (Worksheet_Name, Master_File, Budget_Name) VALUES ('Gone', 'Budget.xlsx', "
        "'Sales')");
    dialog_->cmdClearRec_Click();
    EXPECT_TRUE(ui_->asked().empty()) << ui_->messageTexts().join('|').toStdString();
    const QString k = key(key_);
    EXPECT_EQ(records(),
              (QStringList{"Costs|Budget.xlsx|" + k, "Rates|Budget.xlsx|" + k, "Sales|Budget.xlsx|" + k,
                           "Summary|Budget.xlsx|" + k, "Forecast|OldBudget.xlsx|<null>"}));
    EXPECT_EQ(rows("SELECT User_Filename FROM UserFileTablesData WHERE Budget_Name = 'Sales'"),
              QStringList{"Forecast.xlsx"});
    EXPECT_EQ(rows("SELECT COUNT(*) FROM Worksheets WHERE Worksheet_Name = '<Dummy record>'"),
              QStringList{"1"})
        << "one placeholder row, not one more per rebuild";
    EXPECT_FALSE(rows("SELECT Process_Date FROM MasterFiles WHERE ID_MasterFiles = ?", {key_})
                     .value(0)
                     .contains("<null>"));
    EXPECT_EQ(entries(*dialog_->lbxDB()), (QStringList{"Costs", "Rates", "Sales", "Summary"}));
}

// With the master file registered twice in the budget nothing is deleted; a failure midway
// leaves every record as it was.
TEST_F(SyncWindowTest, ClearRecordsChecksFirstAndIsDoneWholeOrNotAtAll) {
    const QStringList before = records();
    execute(
        "INSERT INTO MasterFiles (Master_File, Path, Budget_Name) VALUES ('Budget.xlsx', '/copy', 'Sales')");
    ui_->answerMessages({Answer::Ok});
    dialog_->cmdClearRec_Click();
    EXPECT_EQ(ui_->messageTexts(), QStringList{"The query didn't return the selected workbook."});
    EXPECT_EQ(records(), before);

    execute("DELETE FROM MasterFiles WHERE Path = '/copy'");
    // A sheet name longer than the column takes fails the rebuild after the deletions.
    app_.activeWorkbook()->renameSheet(app_.activeWorkbook()->sheet(3), QString(31, u'S'));
    execute("CREATE TRIGGER NoLongNames BEFORE INSERT ON Worksheets WHEN length(NEW.Worksheet_Name) > 30 "
            "BEGIN SELECT RAISE(ABORT, 'name too long'); END");
    ui_->clear();
    ui_->answerMessages({Answer::Ok});
    dialog_->cmdClearRec_Click();
    ASSERT_EQ(ui_->asked().size(), 1u);
    EXPECT_TRUE(ui_->asked()[0].text.startsWith(u"Error ")) << ui_->asked()[0].text.toStdString();
    EXPECT_EQ(records(), before);
    EXPECT_EQ(rows("SELECT COUNT(*) FROM UserFileTablesData WHERE User_Filename = 'Sales.xlsx'"),
              QStringList{"1"});
}

} // namespace
