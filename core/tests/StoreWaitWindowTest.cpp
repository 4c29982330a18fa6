// The data store library's clean-ups in the program's wait window, through the hooks the
// programs install at start-up: the small layout with the table and operation rows, each table
// painted in turn, the window unloaded at the end and after a failure, and a run's window left
// to its run.
#include "core/StoreWaitWindow.h"

#include "MasterDbFixture.h"
#include "core/frmWait.h"
#include "lumistore/Lumistore.h"
#include "platform/ui/ProgressBar.h"

#include <QApplication>
#include <QLabel>
#include <gtest/gtest.h>

namespace {

using core::frmWait;

// What the wait window showed while it was painted: the captions of its table and operation
// rows in turn, and its layout and visible rows when first seen.
class PaintRecorder : public QObject {
public:
    QStringList captions;
    bool seen = false;
    bool big = false;
    QStringList shownRows;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Paint || watched->objectName() != QLatin1String("lblTableStatus"))
            return false;
        frmWait* window = frmWait::loaded();
        if (!window)
            return false;
        if (!seen) {
            seen = true;
            big = window->isBig();
            for (QLabel* label : window->findChildren<QLabel*>())
                if (!label->isHidden())
                    shownRows << label->objectName();
            shownRows.sort();
        }
        const QString caption =
            window->lblTableStatus()->text() + QStringLiteral(" / ") + window->lblSysOperation()->text();
        if (!window->lblTableStatus()->text().isEmpty() && (captions.isEmpty() || captions.last() != caption))
            captions << caption;
        return false;
    }
};

class StoreWaitWindow : public coretest::MasterDbFixture, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        MasterDbFixture::SetUp();
        core::InstallStoreWaitWindow();
    }
    void TearDown() override {
        lumistore::setWaitWindowHooks({});
        frmWait::unload();
        MasterDbFixture::TearDown();
    }
};

// Whatever layout the last run chose, the clean-up shows the small one and leaves the choice.
TEST_P(StoreWaitWindow, ASweepShowsEachTableInTheSmallLayoutAndUnloadsTheWindow) {
    const bool lastRunBig = GetParam();
    core::gOptions->FrmWaitBig = lastRunBig;
    PaintRecorder recorder;
    qApp->installEventFilter(&recorder);
    lumistore::cClean().SweepRecords(core::gCnn->LumiCnn());
    qApp->removeEventFilter(&recorder);

    ASSERT_TRUE(recorder.seen) << "the wait window was never painted";
    EXPECT_FALSE(recorder.big);
    EXPECT_EQ(recorder.shownRows,
              (QStringList{"lblSysOp", "lblSysOperation", "lblTableStatus", "lbldbTableLabel"}));
    QStringList expected;
    for (const QString& table : tableRows(QStringLiteral("SELECT Table_Name FROM TablesList")))
        expected << table + QStringLiteral(" / Checking and cleaning database tables.");
    ASSERT_FALSE(expected.isEmpty());
    EXPECT_EQ(recorder.captions, expected);
    EXPECT_EQ(frmWait::loaded(), nullptr);
    EXPECT_EQ(core::gOptions->FrmWaitBig, lastRunBig);
}

INSTANTIATE_TEST_SUITE_P(LastRunLayout, StoreWaitWindow, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "AfterABigOne" : "AfterASmallOne");
                         });

class StoreWaitWindowCases : public StoreWaitWindow {};

TEST_F(StoreWaitWindowCases, AFailedOperationUnloadsTheWindow) {
    EXPECT_THROW(lumistore::cClean().SweepRecords(core::gCnn->LumiCnn(), QStringLiteral("NoSuchTable")),
                 lumistore::LumistoreError);
    EXPECT_EQ(frmWait::loaded(), nullptr);
}

TEST_F(StoreWaitWindowCases, ARunsWindowStaysLoadedAndUntouched) {
    core::gOptions->FrmWaitBig = true;
    frmWait& run = frmWait::load();
    run.lblTableStatus()->setText(QStringLiteral("the run's table"));
    run.CorvProgressBar1()->setMax(10);
    run.CorvProgressBar1()->setValue(3);

    lumistore::cClean().SweepRecords(core::gCnn->LumiCnn());

    ASSERT_EQ(frmWait::loaded(), &run);
    EXPECT_TRUE(run.isBig());
    EXPECT_EQ(run.lblTableStatus()->text(), QStringLiteral("the run's table"));
    EXPECT_EQ(run.CorvProgressBar1()->value(), 3);
}

} // namespace
