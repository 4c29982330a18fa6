// The wait window: its two layouts, Cancel and Continue, the cancel poll, the close box
// and the run guard it holds while loaded.
#include "core/frmWait.h"

#include "core/RunGuard.h"
#include "core/cOptions.h"
#include "platform/ui/DataGrid.h"
#include "platform/ui/EventPump.h"
#include "platform/ui/LoadedWindows.h"
#include "platform/ui/ProgressBar.h"
#include "platform/ui/Twips.h"

#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

using core::frmWait;
using core::gOptions;
using platform::ui::Twips;

namespace {

class WaitWindow : public ::testing::Test {
protected:
    void SetUp() override { gOptions = std::make_unique<core::cOptions>(); }
    void TearDown() override {
        frmWait::unload();
        gOptions.reset();
    }

    frmWait& loadWith(bool big) {
        gOptions->FrmWaitBig = big;
        frmWait& window = frmWait::load();
        window.show();
        return window;
    }
};

} // namespace

TEST_F(WaitWindow, SmallLayoutHidesContinueAndTheChangesGrid) {
    frmWait& window = loadWith(false);
    EXPECT_FALSE(window.isBig());
    EXPECT_EQ(window.objectName(), "frmWait");
    EXPECT_EQ(window.windowTitle(), "Lumivane");
    EXPECT_EQ(window.Frame1()->title(), "Please wait.  The system is working!");
    EXPECT_TRUE(window.cmdContinue()->isHidden());
    EXPECT_TRUE(window.dtChangedData()->isHidden());
    EXPECT_FALSE(window.cmdCancelOps()->isHidden());
    EXPECT_EQ(window.cmdCancelOps()->geometry().top(), Twips::toPixels(2850));
    EXPECT_EQ(window.cmdCancelOps()->text(), "Cancel");
    EXPECT_TRUE(window.chkCancel()->isHidden());
    EXPECT_TRUE(gOptions->ActiveForm.isNull()) << "the small layout leaves ActiveForm alone";
    // Every button stays inside the window.
    EXPECT_LE(window.cmdCancelOps()->geometry().bottom(), window.height());
}

TEST_F(WaitWindow, BigLayoutShowsContinueAndGridAndBecomesTheActiveForm) {
    frmWait& window = loadWith(true);
    EXPECT_TRUE(window.isBig());
    EXPECT_FALSE(window.cmdContinue()->isHidden());
    EXPECT_FALSE(window.dtChangedData()->isHidden());
    EXPECT_EQ(window.cmdCancelOps()->geometry().top(), Twips::toPixels(5160));
    EXPECT_EQ(gOptions->ActiveForm.data(), &window);
    EXPECT_GT(window.height(), Twips::toPixels(frmWait::kSmallHeightTwips));
    EXPECT_LE(window.cmdCancelOps()->geometry().bottom(), window.height());

    platform::ui::DataGrid* grid = window.dtChangedData();
    ASSERT_EQ(grid->columnCount(), 4);
    const QStringList headings{"Cells Label", "Current Value", "Accepted", "Changed Value"};
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(grid->column(c).heading, headings[c]);

    // The layout is chosen once, at load: a later change of the flag does not move anything.
    gOptions->FrmWaitBig = false;
    EXPECT_EQ(&frmWait::load(), &window);
    EXPECT_TRUE(window.isBig());

    frmWait::unload();
    EXPECT_TRUE(gOptions->ActiveForm.isNull()) << "no dangling form reference after unload";
}

TEST_F(WaitWindow, ControlsAreFoundByTheirFormNames) {
    frmWait& window = loadWith(false);
    const char* names[] = {"Frame1",          "lblMasterFileLabel", "lblFileStatus2", "lblBudgetFileLabel",
                           "lblFileStatus",   "lblWorksheetLabel",  "lblWorksheet",   "lblSysOp",
                           "lblSysOperation", "lbldbTableLabel",    "lblTableStatus", "lbldbTable2Label",
                           "lblTableStatus2", "CorvProgressBar1",   "chkCancel",      "cmdContinue",
                           "cmdCancelOps",    "dtChangedData"};
    for (const char* name : names)
        EXPECT_NE(window.findChild<QWidget*>(QString::fromLatin1(name)), nullptr) << name;
    EXPECT_EQ(window.lblMasterFileLabel()->text(), "Master File:");
    EXPECT_EQ(window.lblBudgetFileLabel()->text(), "User File:");
    EXPECT_EQ(window.lblSysOp()->text(), "Sys Operation:");
    // Hidden at design: the master file and worksheet pairs and the second table value.
    for (QLabel* label : {window.lblMasterFileLabel(), window.lblFileStatus2(), window.lblWorksheetLabel(),
                          window.lblWorksheet(), window.lblTableStatus2()})
        EXPECT_TRUE(label->isHidden()) << label->objectName().toStdString();
}

TEST_F(WaitWindow, CancelInTheSmallLayoutOnlyTicksTheCheckBox) {
    frmWait& window = loadWith(false);
    gOptions->Pause = true;
    window.cmdCancelOps()->click();
    EXPECT_TRUE(window.chkCancel()->isChecked());
    EXPECT_TRUE(gOptions->Pause);
    EXPECT_FALSE(gOptions->CancelOp);
}

TEST_F(WaitWindow, CancelDuringAReviewEndsTheWaitAndStopsTheRun) {
    frmWait& window = loadWith(true);
    gOptions->Pause = true;
    window.cmdCancelOps()->click();
    EXPECT_FALSE(gOptions->Pause);
    EXPECT_TRUE(gOptions->CancelOp);
    EXPECT_TRUE(core::PollCancel());
}

TEST_F(WaitWindow, ContinueEndsTheReviewOnly) {
    frmWait& window = loadWith(true);
    gOptions->Pause = true;
    window.cmdContinue()->click();
    EXPECT_FALSE(gOptions->Pause);
    EXPECT_FALSE(gOptions->CancelOp);
    EXPECT_FALSE(window.chkCancel()->isChecked());
}

TEST_F(WaitWindow, PollCancelGivesOneTruePerRequest) {
    frmWait& window = loadWith(false);
    EXPECT_FALSE(core::PollCancel());
    EXPECT_EQ(window.cmdCancelOps()->text(), "Cancel");

    window.cmdCancelOps()->click();
    window.cmdCancelOps()->click();
    EXPECT_TRUE(core::PollCancel());
    EXPECT_EQ(window.cmdCancelOps()->text(), "Cancel Now");
    EXPECT_FALSE(window.chkCancel()->isChecked());
    EXPECT_FALSE(core::PollCancel()) << "two clicks before a poll are one request";
    EXPECT_EQ(window.cmdCancelOps()->text(), "Cancel");

    // Without waiting, a poll still lets the pending events through once.
    QTimer::singleShot(0, window.cmdCancelOps(), &QPushButton::click);
    EXPECT_TRUE(core::PollCancel(0));
    EXPECT_FALSE(core::PollCancel(0));
}

TEST_F(WaitWindow, PollCancelSeesAClickThatArrivesWhileItPolls) {
    frmWait& window = loadWith(false);
    QTimer::singleShot(0, window.cmdCancelOps(), &QPushButton::click);
    EXPECT_TRUE(core::PollCancel());
}

TEST_F(WaitWindow, PollCancelWithoutAWindowAnswersFalseAndLoadsNothing) {
    EXPECT_FALSE(core::PollCancel());
    EXPECT_EQ(frmWait::loaded(), nullptr);
    EXPECT_FALSE(platform::ui::LoadedWindows::isLoaded("frmWait"));
}

TEST_F(WaitWindow, CloseBoxCountsAsCancelSoAReviewCannotHang) {
    frmWait& window = loadWith(true);
    gOptions->Pause = true;
    QTimer::singleShot(0, &window, &QWidget::close);
    // The review's wait: pause while Pause is set. The bound only keeps a broken build from
    // hanging the test; the close must end the wait long before it.
    int rounds = 0;
    while (gOptions->Pause && rounds < 200) {
        platform::ui::EventPump::pause(0.05);
        ++rounds;
    }
    EXPECT_FALSE(gOptions->Pause);
    EXPECT_TRUE(gOptions->CancelOp);
    EXPECT_EQ(frmWait::loaded(), &window) << "the run that owns the window unloads it";
    EXPECT_TRUE(core::PollCancel());
}

TEST_F(WaitWindow, LoadedWindowHoldsTheRunGuard) {
    EXPECT_FALSE(core::RunGuard::isRunning());
    loadWith(false);
    EXPECT_TRUE(platform::ui::LoadedWindows::isLoaded("FRMWAIT"));
    EXPECT_TRUE(core::RunGuard::isRunning());
    frmWait::unload();
    EXPECT_FALSE(core::RunGuard::isRunning());
    EXPECT_FALSE(platform::ui::LoadedWindows::isLoaded("frmWait"));
    frmWait::unload(); // unloading twice does no harm
}

TEST_F(WaitWindow, RendersBothLayoutsAtTheirDesignSize) {
    // Set LUMIVANE_SCREENSHOT_DIR to keep the pictures for a look.
    const QString folder = qEnvironmentVariable("LUMIVANE_SCREENSHOT_DIR");
    for (bool big : {false, true}) {
        frmWait& window = loadWith(big);
        window.lblFileStatus()->setText("Budget 2024 - Sales North.xlsx");
        window.lblSysOperation()->setText("Creating User File from Master File Worksheet");
        window.lblTableStatus()->setText("UserFileTablesData");
        window.CorvProgressBar1()->setMax(10);
        window.CorvProgressBar1()->setValue(4);
        if (big) {
            // Every pair shown, so the fullest use of the frame is seen.
            for (QLabel* label : window.Frame1()->findChildren<QLabel*>())
                label->show();
            window.lblFileStatus2()->setText("Budget 2024 - Sales.xlsx");
            window.lblWorksheet()->setText("North");
            window.lblTableStatus2()->setText("Worksheets");
            window.dtChangedData()->appendRow({"B7", "1200", 1, "1350"});
            window.dtChangedData()->appendRow({"C12", "Travel", 1, "Travel and lodging"});
        }
        const QPixmap picture = window.grab();
        EXPECT_EQ(picture.width(), Twips::toPixels(frmWait::kWidthTwips));
        if (!folder.isEmpty())
            picture.save(QDir(folder).filePath(big ? "frmWait-big.png" : "frmWait-small.png"));
        frmWait::unload();
    }
}
