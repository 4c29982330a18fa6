// What the add-in tells in Lumisheet when something stands in the way: Update with no workbook
// open says what to do; a workbook Lumisheet opened read-only is refused for the reason it is
// read-only; a master that cannot be saved, and a user file that cannot be merged into it, leave
// a row in the errors table; the send grid's failure bears the add-in's message title; Build
// Budget's web help leads to the reserved example host.
#include "AddInCycleFixture.h"

#include <QDesktopServices>
#include <QDir>
#include <QUrl>

namespace {

using namespace cycletest;

// Catches the links the add-in opens.
class LinkCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened << url; }
};

class AddInMessagesTest : public AddInCycleFixture {
protected:
    void SetUp() override {
        AddInCycleFixture::SetUp();
        configureWithoutMail();
    }

    // The budget cut in Lumisheet and Ann's answer typed into her file.
    platform::sheet::Workbook* budgetWithAnswer() {
        platform::sheet::Workbook* master = registerAndCut();
        answerOnDisk(userFilePath("North", "Sales"), {{"B2", "150"}});
        ui().acceptUnscriptedMessages();
        ui().clear();
        return master;
    }
};

TEST_F(AddInMessagesTest, UpdateWithNoWorkbookOpenSaysWhatToDo) {
    ui().acceptUnscriptedMessages();
    QWidget& form = runBudget();
    control<QTabWidget>(form, "SSTab1").setCurrentIndex(0);
    ui().clear();
    control<QPushButton>(form, "cmdOK").click();
    EXPECT_EQ(ui().messageTexts(),
              QStringList{"No workbook is open. Open the master workbook to update, then click Update."});
    EXPECT_EQ(ui().asked().front().title, "LumivaneXL");
    EXPECT_TRUE(form.isVisible());
}

// Reserved.xlsx carries a password to modify: Lumisheet opens it read-only, and no other program
// holds it.
TEST_F(AddInMessagesTest, AReadOnlyWorkbookIsRefusedForTheReasonItIsReadOnly) {
    const QString reserved = copyMaster(QStringLiteral("Reserved.xlsx"), masters_);
    platform::sheet::Workbook* book = lumisheet::OpenWorkbook(app_, reserved);
    ASSERT_NE(book, nullptr);
    ASSERT_TRUE(book->readOnly());
    ui().acceptUnscriptedMessages();
    ui().clear();
    addInDialog("mnuBuildBudget", "frmBuild");
    EXPECT_EQ(
        ui().messageTexts(),
        QStringList{"The workbook 'Reserved.xlsx' is open read-only (a password protects it against changes, "
                    "and it was opened without that password), so it cannot be added to a budget."});
    EXPECT_TRUE(rows("SELECT Master_File FROM MasterFiles WHERE Master_File = 'Reserved.xlsx'").isEmpty());
}

// The master's file is replaced by a folder of the same name while Lumisheet has it open: the
// save fails, the errors table says so, and Ann's file stays waiting.
TEST_F(AddInMessagesTest, AMasterThatCannotBeSavedLeavesAnErrorsRow) {
    ASSERT_NE(budgetWithAnswer(), nullptr);
    ASSERT_TRUE(QFile::remove(plan_));
    ASSERT_TRUE(QDir().mkpath(plan_ + QStringLiteral("/inside")));
    updateInRunBudget(runBudget(), workbooks::kAcceptChanges);
    ASSERT_EQ(ui().messageTexts().size(), 1);
    EXPECT_TRUE(ui().messageTexts().front().startsWith(u"Error "))
        << ui().messageTexts().front().toStdString();
    const QStringList errors = rows("SELECT MF_Name, Budget_Name, Change_Value <> '' FROM Errors");
    EXPECT_EQ(errors, QStringList{"Plan.xlsx|Plan|1"});
    EXPECT_EQ(state(QStringLiteral("Sales.xlsx")), "1|0|newer");
}

// The master's sheet Sales was renamed since the cut: Ann's file cannot be merged, and the
// errors table says why.
TEST_F(AddInMessagesTest, AUserFileThatCannotBeMergedLeavesAnErrorsRow) {
    platform::sheet::Workbook* master = budgetWithAnswer();
    ASSERT_NE(master, nullptr);
    master->renameSheet(master->sheet(QStringLiteral("Sales")), QStringLiteral("Sales 2025"));
    updateInRunBudget(runBudget(), workbooks::kAcceptChanges);
    ASSERT_EQ(ui().messageTexts().size(), 1);
    EXPECT_TRUE(ui().messageTexts().front().startsWith(u"Error "))
        << ui().messageTexts().front().toStdString();
    const QStringList errors = rows("SELECT UF_name, MF_Name, UFPassArrayFailed, Change_Value LIKE '%Sales%' "
                                    "FROM Errors");
    EXPECT_EQ(errors, QStringList{"Sales.xlsx|Plan.xlsx|1|1"});
    EXPECT_EQ(state(QStringLiteral("Sales.xlsx")), "1|1|newer");
}

// The register of the user files has lost its Attachment column: the send grid cannot be filled.
TEST_F(AddInMessagesTest, TheSendGridsFailureBearsTheAddInsMessageTitle) {
    ASSERT_NE(budgetWithAnswer(), nullptr);
    QStringList kept;
    for (const QString& column : rows("PRAGMA table_info(UserFileTablesData)"))
        if (column.section(u'|', 1, 1) != QLatin1String("Attachment"))
            kept << column.section(u'|', 1, 1);
    execute("ALTER TABLE UserFileTablesData RENAME TO UserFileTablesOld");
    execute("CREATE TABLE UserFileTablesData AS SELECT " + kept.join(u',') + " FROM UserFileTablesOld");
    runBudget();
    QStringList titles;
    for (const auto& asked : ui().asked())
        if (asked.text.contains(u"Attachment"))
            titles << asked.title;
    EXPECT_EQ(titles, QStringList{"LumivaneXL"});
}

TEST_F(AddInMessagesTest, BuildBudgetsWebHelpLeadsToTheReservedExampleHost) {
    LinkCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "open");
    ui().acceptUnscriptedMessages();
    QWidget& build = addInDialog("mnuBuildBudget", "frmBuild");
    control<QAbstractButton>(build, "agtxtHelp").click();
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    ASSERT_EQ(catcher.opened.size(), 1);
    EXPECT_TRUE(catcher.opened.front().host().endsWith(u".example"))
        << catcher.opened.front().toString().toStdString();
}

} // namespace

#include "AddInMessagesTest.moc"
