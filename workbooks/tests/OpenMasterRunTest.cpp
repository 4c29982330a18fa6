// The update run into a master workbook open in the spreadsheet program that hosts the add-in:
// only the budget's row of that workbook's name and folder, the workbook held for the whole run
// (a workbook switch in the review pause neither receives the writes nor is saved; closing it
// is refused), Save Master File on and off with the bookings that follow, the program's display
// switches back on and the cancel cleared at every end, a master held read-only refused, and
// Cancel in the edit review writing what was reviewed when asked to.
#include "platform/sheet/Application.h"
#include "platform/sheet/SheetError.h"
#include "workbooks/cUpdate.h"
#include "workbooks/tests/PlanBudgetFixture.h"

#include <QPushButton>
#include <gtest/gtest.h>

namespace {

using namespace workbookstest;
using platform::sheet::Application;
using platform::sheet::Workbook;
using platform::ui::Answer;

class OpenMasterRunTest : public PlanBudgetFixture {
protected:
    void TearDown() override {
        app_.closeAll();
        PlanBudgetFixture::TearDown();
    }

    Workbook& openInHost(const QString& path = {}) { return app_.open(path.isEmpty() ? master_ : path); }

    void runInto(Workbook& book, const QString& mode, bool save = true, bool writeReviewedOnCancel = false) {
        core::gOptions->BudgetNameContext = QStringLiteral("Plan");
        workbooks::UpdateRequest request{QStringLiteral("Plan"), {}, mode};
        request.requester = QStringLiteral("LumiXL");
        request.openMaster = workbooks::OpenMaster{&app_, &book, save};
        request.writeReviewedOnCancel = writeReviewedOnCancel;
        workbooks::UpdateMasterFilesCommand(request);
    }

    // The run's every end leaves the program as it found it.
    void expectEveryEndRestored(const Workbook& book) const {
        EXPECT_TRUE(app_.screenUpdating());
        EXPECT_TRUE(app_.displayAlerts());
        EXPECT_FALSE(app_.isHeld(book));
        EXPECT_FALSE(core::gOptions->CancelOp);
        EXPECT_EQ(core::frmWait::loaded(), nullptr);
        EXPECT_EQ(workbooks::gUpdate, nullptr);
    }

    static QString masterDate() {
        return scalar("SELECT MF_Modified_Date FROM MasterFiles WHERE ID_MasterFiles = 11").toString();
    }

    Application app_;
};

TEST_F(OpenMasterRunTest, AcceptWithSaveWritesTheOpenWorkbookSavesItAndBooks) {
    cut();
    returnFile(userFile("North", "Sales"), {{"B2", "150"}});
    Workbook& book = openInHost();
    // The program's switches as the run found them: off during the run, on at its end.
    bool quietDuringRun = false;
    QTimer look;
    look.setInterval(0);
    QObject::connect(&look, &QTimer::timeout, [&] {
        if (core::frmWait::loaded())
            quietDuringRun = !app_.screenUpdating() && !app_.displayAlerts() && app_.isHeld(book);
    });
    look.start();
    testsupport::ScopedScriptedUi ui;
    runInto(book, workbooks::kAcceptChanges);
    EXPECT_TRUE(ui->asked().empty()) << ui->messageTexts().join('|').toStdString();
    EXPECT_TRUE(quietDuringRun);
    EXPECT_EQ(app_.findWorkbook(master_), &book) << "the workbook stays open in the program";
    EXPECT_EQ(book.sheet("Sales").value({2, 2}).toText(), "150");
    EXPECT_TRUE(book.saved());
    EXPECT_EQ(cell(master_, "Sales", "B2"), "150");
    EXPECT_EQ(cell(master_, "Sales", "D2"), "260");
    EXPECT_EQ(state("Sales"), "0|0|0|merged");
    EXPECT_EQ(platform::db::parseDateTime(masterDate()), platform::sys::GetFileModifiedText(master_));
    expectEveryEndRestored(book);
}

// Unsaved, the changes stay in the open workbook and the user file waits; the next run with
// saving finds nothing new in the cells but saves what the workbook holds before it books.
TEST_F(OpenMasterRunTest, WithoutSaveNothingIsBookedUntilARunSavesTheWorkbook) {
    cut();
    const QByteArray before = digest(master_);
    returnFile(userFile("North", "Sales"), {{"B2", "150"}});
    Workbook& book = openInHost();
    testsupport::ScopedScriptedUi ui;
    runInto(book, workbooks::kAcceptChanges, false);
    EXPECT_EQ(book.sheet("Sales").value({2, 2}).toText(), "150");
    EXPECT_FALSE(book.saved());
    EXPECT_EQ(digest(master_), before);
    EXPECT_EQ(state("Sales"), "1|0|0|as cut");
    EXPECT_TRUE(masterDate().isEmpty());

    runInto(book, workbooks::kAcceptChanges, true);
    EXPECT_EQ(cell(master_, "Sales", "B2"), "150") << "saved although no cell changed in this run";
    EXPECT_EQ(state("Sales"), "0|0|0|merged");
    EXPECT_FALSE(masterDate().isEmpty());
    expectEveryEndRestored(book);
}

// The administrator switches to another workbook and tries to close the master while the edit
// review waits: the master stays open and held, and gets the writes and the save.
TEST_F(OpenMasterRunTest, AWorkbookSwitchInTheReviewPauseChangesNothingOfTheRun) {
    cut();
    returnFile(userFile("North", "Sales"), {{"B2", "150"}});
    Workbook& book = openInHost();
    Workbook* other = nullptr;
    bool closeRefused = false;
    whenReviewing([&](core::frmWait& wait) {
        other = &app_.add();
        other->sheet(0).setEntry({2, 2}, QStringLiteral("1"));
        try {
            app_.close(book);
        } catch (const platform::sheet::SheetError& error) {
            closeRefused = error.code() == platform::sheet::SheetError::Code::FileInUse;
        }
        wait.cmdContinue()->click();
    });
    testsupport::ScopedScriptedUi ui;
    runInto(book, workbooks::kEditChanges);
    ASSERT_NE(other, nullptr);
    EXPECT_TRUE(closeRefused);
    EXPECT_EQ(app_.activeWorkbook(), other) << "the run does not take the activation back";
    EXPECT_EQ(other->sheet(0).value({2, 2}).toText(), "1") << "nothing written into the active workbook";
    EXPECT_FALSE(other->saved());
    EXPECT_EQ(cell(master_, "Sales", "B2"), "150");
    EXPECT_EQ(state("Sales"), "0|0|0|merged");
    expectEveryEndRestored(book);
}

// A user file replaced while its changes are reviewed (Get Mail, a new cut) is booked with the
// time of the version that was read, so the next run takes the new one over.
TEST_F(OpenMasterRunTest, AFileReplacedDuringTheReviewIsMergedAtTheNextRun) {
    cut();
    const QString sales = userFile("North", "Sales");
    returnFile(sales, {{"B2", "150"}});
    Workbook& book = openInHost();
    whenReviewing([&](core::frmWait& wait) {
        // Dated an hour after the version under review: never the same second as that one.
        const QDateTime later = platform::sys::GetFileModifiedText(sales).addSecs(3600);
        typeWithOpenpyxl(sales, QJsonArray{QJsonArray{"B2", "175"}});
        const timespec times[2] = {{later.toSecsSinceEpoch(), 0}, {later.toSecsSinceEpoch(), 0}};
        ::utimensat(AT_FDCWD, QFile::encodeName(sales).constData(), times, 0);
        wait.cmdContinue()->click();
    });
    testsupport::ScopedScriptedUi ui;
    runInto(book, workbooks::kEditChanges);
    EXPECT_EQ(cell(master_, "Sales", "B2"), "150");
    EXPECT_EQ(state("Sales"), "0|0|0|as cut") << "booked with the time of the version read, not the new one";

    runInto(book, workbooks::kAcceptChanges);
    EXPECT_EQ(cell(master_, "Sales", "B2"), "175");
    EXPECT_EQ(state("Sales"), "0|0|0|merged");
}

// Each sheet is protected again with its own row's password only: a sheet without one, merged
// after a protected sheet, stays unprotected.
TEST_F(OpenMasterRunTest, ASheetWithoutAPasswordIsNeverProtectedWithThePreviousOne) {
    addWorksheet("Rates", 11, "Budget.xlsx", "Plan", "North");
    cut();
    returnFile(userFile("South", "Costs"), {{"B2", "60"}});
    returnFile(userFile("North", "Rates"), {{"B1", "0.07"}});
    Workbook& book = openInHost();
    testsupport::ScopedScriptedUi ui;
    runInto(book, workbooks::kAcceptChanges);
    EXPECT_TRUE(ui->asked().empty()) << ui->messageTexts().join('|').toStdString();
    EXPECT_TRUE(book.sheet("Costs").isProtected() && book.sheet("Costs").verifyPassword(kCostsPassword));
    EXPECT_EQ(book.sheet("Rates").value({1, 2}).toText(), "0.07");
    EXPECT_FALSE(book.sheet("Rates").isProtected());
    EXPECT_EQ(state("Rates"), "0|0|0|merged");
}

// Cancel in the edit review: with writeReviewedOnCancel the reviewed values go into the open
// workbook (unsaved, unbooked) before the run ends; without it nothing is written. Either way
// the next user file is not reached.
TEST_F(OpenMasterRunTest, CancelInTheEditReviewWritesWhatWasReviewedOnlyWhenAsked) {
    cut();
    const QByteArray before = digest(master_);
    returnFile(userFile("North", "Sales"), {{"B2", "150"}});
    returnFile(userFile("South", "Costs"), {{"B2", "60"}});
    for (const bool writeReviewed : {true, false}) {
        SCOPED_TRACE(writeReviewed ? "reviewed values written" : "nothing written");
        Workbook& book = openInHost();
        whenReviewing([](core::frmWait& wait) {
            wait.dtChangedData()->setCellValue(0, 3, QStringLiteral("175"));
            wait.cmdCancelOps()->click();
        });
        testsupport::ScopedScriptedUi ui;
        runInto(book, workbooks::kEditChanges, true, writeReviewed);
        EXPECT_EQ(book.sheet("Sales").value({2, 2}).toText(), writeReviewed ? "175" : "100");
        EXPECT_EQ(book.sheet("Costs").value({2, 2}).toText(), "50");
        EXPECT_EQ(digest(master_), before);
        EXPECT_EQ(state("Sales"), "1|0|0|as cut");
        EXPECT_EQ(state("Costs"), "1|0|0|as cut");
        expectEveryEndRestored(book);
        app_.close(book);
    }
}

// The run's end after a No to the corrupted-formula question, and after a failure in the run,
// leaves the program's switches on and no cancel pending.
TEST_F(OpenMasterRunTest, EveryEndSwitchesTheProgramBackOnAndClearsTheCancel) {
    cut();
    returnFile(userFile("North", "Sales"), {{"D2", "999"}});
    Workbook& book = openInHost();
    {
        testsupport::ScopedScriptedUi ui;
        ui->answerMessages({Answer::No});
        runInto(book, workbooks::kAcceptChanges);
        EXPECT_EQ(ui->messageTexts().size(), 1);
        expectEveryEndRestored(book);
    }
    {
        // The master database's MasterFiles table gone under the run: its generic message.
        execute("ALTER TABLE MasterFiles RENAME TO MasterFilesAway");
        testsupport::ScopedScriptedUi ui;
        runInto(book, workbooks::kAcceptChanges);
        execute("ALTER TABLE MasterFilesAway RENAME TO MasterFiles");
        ASSERT_EQ(ui->messageTexts().size(), 1);
        EXPECT_TRUE(ui->messageTexts().first().startsWith("Error "))
            << ui->messageTexts().first().toStdString();
        expectEveryEndRestored(book);
    }
}

// A workbook of the master's name opened from another folder is not that master: nothing of the
// budget is merged into it. A master that the program holds read-only is refused first.
TEST_F(OpenMasterRunTest, OnlyTheMasterOfThatNameAndFolderIsMergedAndReadOnlyIsRefused) {
    cut();
    returnFile(userFile("North", "Sales"), {{"B2", "150"}});
    const QString elsewhere = copyMaster("Budget.xlsx", testsupport::freshDir("elsewhere"));
    Workbook& copy = openInHost(elsewhere);
    testsupport::ScopedScriptedUi ui;
    runInto(copy, workbooks::kAcceptChanges);
    EXPECT_TRUE(ui->asked().empty());
    EXPECT_EQ(copy.sheet("Sales").value({2, 2}).toText(), "100");
    EXPECT_EQ(state("Sales"), "0|0|0|as cut") << "not even looked at";
    app_.close(copy);

    const QByteArray before = digest(master_);
    platform::sheet::OpenOptions readOnly;
    readOnly.readOnly = true;
    Workbook& held = app_.open(master_, readOnly);
    runInto(held, workbooks::kAcceptChanges);
    EXPECT_EQ(ui->messageTexts(),
              QStringList{workbooks::kMasterReadOnlyText.arg(
                  "Budget.xlsx", "it was opened for reading only: open it again for writing")});
    EXPECT_EQ(held.sheet("Sales").value({2, 2}).toText(), "100");
    EXPECT_EQ(digest(master_), before);
    EXPECT_EQ(state("Sales"), "0|0|0|as cut");
    expectEveryEndRestored(held);
}

} // namespace
