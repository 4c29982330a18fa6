// The wait window: the one progress display of every long run. The run that owns it loads
// it, shows it modeless, writes the value labels and the progress bar at each step, asks
// PollCancel whether the user pressed Cancel, and unloads it at the end. Preview and edit
// runs load it in the big layout, which adds the changes grid and Continue, and wait on it
// while the user reviews the changes.
//
// The layout is chosen once, when the window loads, from gOptions->FrmWaitBig. Controls carry
// their form names as objectName. While the window is loaded it holds a RunGuard token, so
// commands that would pull shared objects away from the run are refused meanwhile. Closing
// it by its close box counts as Cancel; the window itself stays until the run unloads it.
#pragma once

#include "core/RunGuard.h"

#include <QPointer>
#include <QWidget>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace platform::ui {
class DataGrid;
class ProgressBar;
} // namespace platform::ui

namespace core {

class frmWait : public QWidget {
    Q_OBJECT
public:
    // Design heights of the window in twips, title bar included.
    static constexpr int kSmallHeightTwips = 3540;
    static constexpr int kBigHeightTwips = 5895;
    static constexpr int kWidthTwips = 6555;

    // The loaded wait window, loading it first (and choosing its layout) when it is not.
    static frmWait& load();
    // The loaded wait window, or null; never loads it.
    static frmWait* loaded();
    // Unloads the wait window; does no harm when it is not loaded.
    static void unload();

    bool isBig() const { return big_; }

    // The frame and the label pairs (caption label, value label).
    QGroupBox* Frame1() const { return frame1_; }
    QLabel* lblMasterFileLabel() const { return lblMasterFileLabel_; }
    QLabel* lblFileStatus2() const { return lblFileStatus2_; }
    QLabel* lblBudgetFileLabel() const { return lblBudgetFileLabel_; }
    QLabel* lblFileStatus() const { return lblFileStatus_; }
    QLabel* lblWorksheetLabel() const { return lblWorksheetLabel_; }
    QLabel* lblWorksheet() const { return lblWorksheet_; }
    QLabel* lblSysOp() const { return lblSysOp_; }
    QLabel* lblSysOperation() const { return lblSysOperation_; }
    QLabel* lbldbTableLabel() const { return lbldbTableLabel_; }
    QLabel* lblTableStatus() const { return lblTableStatus_; }
    QLabel* lbldbTable2Label() const { return lbldbTable2Label_; }
    QLabel* lblTableStatus2() const { return lblTableStatus2_; }

    platform::ui::ProgressBar* CorvProgressBar1() const { return progressBar_; }
    // Carries the cancel request: ticked = requested.
    QCheckBox* chkCancel() const { return chkCancel_; }
    QPushButton* cmdContinue() const { return cmdContinue_; }
    QPushButton* cmdCancelOps() const { return cmdCancelOps_; }
    // The changed cells under review: "Cells Label", "Current Value", "Accepted", "Changed Value".
    platform::ui::DataGrid* dtChangedData() const { return dtChangedData_; }

    // True when Cancel was pressed since the last poll (the tick is taken back); lets window
    // events through for up to the given seconds (about a hundredth of a second by default) so
    // that a click is seen. A run that polls between short steps passes 0: the events pending
    // then go through once, without waiting.
    static constexpr double kPollSeconds = 0.01;
    bool pollCancel(double seconds = kPollSeconds);

    // The button handlers, also used by the close box.
    void cmdCancelOps_Click();
    void cmdContinue_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    explicit frmWait(bool big);

    void buildControls();
    void applyLayout();
    QLabel* addCaption(const QString& name, const QString& text, int top);
    QLabel* addValue(const QString& name, int left, int top, int width);

    bool big_;
    RunGuard::Token running_;

    QGroupBox* frame1_ = nullptr;
    QLabel* lblMasterFileLabel_ = nullptr;
    QLabel* lblFileStatus2_ = nullptr;
    QLabel* lblBudgetFileLabel_ = nullptr;
    QLabel* lblFileStatus_ = nullptr;
    QLabel* lblWorksheetLabel_ = nullptr;
    QLabel* lblWorksheet_ = nullptr;
    QLabel* lblSysOp_ = nullptr;
    QLabel* lblSysOperation_ = nullptr;
    QLabel* lbldbTableLabel_ = nullptr;
    QLabel* lblTableStatus_ = nullptr;
    QLabel* lbldbTable2Label_ = nullptr;
    QLabel* lblTableStatus2_ = nullptr;
    platform::ui::ProgressBar* progressBar_ = nullptr;
    QCheckBox* chkCancel_ = nullptr;
    QPushButton* cmdContinue_ = nullptr;
    QPushButton* cmdCancelOps_ = nullptr;
    platform::ui::DataGrid* dtChangedData_ = nullptr;

    static QPointer<frmWait> instance_;
};

// Asks the loaded wait window whether the user pressed Cancel since the last poll; False
// when no wait window is loaded. seconds as for frmWait::pollCancel.
bool PollCancel(double seconds = frmWait::kPollSeconds);

} // namespace core
