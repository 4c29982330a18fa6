// See WaitWindowSteps.h.
#include "workbooks/WaitWindowSteps.h"

#include "core/frmWait.h"
#include "platform/ui/ProgressBar.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QTimer>

namespace workbooks {

namespace {

constexpr int kPaintIntervalMs = 40;

// Painting the wait window costs more than a short step of a run (a user file is compared in
// about a millisecond): each step's texts go into the controls at once, but the window is
// painted at most every kPaintIntervalMs. Between paints its updates are held back; a timer
// paints the last step when the run next lets events through or waits for an answer.
class StepPainter : public QObject {
public:
    explicit StepPainter(QWidget* window)
        : QObject(window)
        , window_(window) {
        setObjectName(kName);
        timer_.setSingleShot(true);
        connect(&timer_, &QTimer::timeout, this, &StepPainter::paint);
    }

    static StepPainter& of(QWidget* window) {
        // Found by name: without a meta-object of its own, a search by type would take any child.
        auto* painter =
            dynamic_cast<StepPainter*>(window->findChild<QObject*>(kName, Qt::FindDirectChildrenOnly));
        return painter ? *painter : *new StepPainter(window);
    }

    // Call before the controls change.
    void holdBack() {
        if (due())
            return;
        window_->setUpdatesEnabled(false);
        if (!timer_.isActive())
            timer_.start(int(kPaintIntervalMs - sincePaint_.elapsed()));
    }

    // Call after the controls changed.
    void stepShown() {
        if (due())
            paint();
    }

    void paint() {
        timer_.stop();
        window_->setUpdatesEnabled(true);
        window_->repaint();
        sincePaint_.restart();
    }

private:
    static inline const QString kName = QStringLiteral("stepPainter");

    bool due() const { return !sincePaint_.isValid() || sincePaint_.elapsed() >= kPaintIntervalMs; }

    QWidget* window_;
    QTimer timer_;
    QElapsedTimer sincePaint_;
};

} // namespace

bool LoadWaitWindowForWorkbooks() {
    if (core::frmWait::loaded())
        return false;
    core::frmWait& wait = core::frmWait::load();
    for (QLabel* label :
         {wait.lbldbTableLabel(), wait.lblTableStatus(), wait.lbldbTable2Label(), wait.lblTableStatus2()})
        label->hide();
    for (QLabel* label : {wait.lblMasterFileLabel(), wait.lblFileStatus2(), wait.lblFileStatus(),
                          wait.lblWorksheetLabel(), wait.lblWorksheet()})
        label->show();
    wait.CorvProgressBar1()->setMax(0);
    wait.CorvProgressBar1()->setValue(0);
    wait.CorvProgressBar1()->setDisplay(true);
    wait.setCursor(Qt::WaitCursor);
    wait.show();
    return true;
}

void ShowWaitStep(const QString& masterFile, const QString& userFile, const QString& worksheet,
                  const QString& operation, int value, int maximum) {
    core::frmWait* wait = core::frmWait::loaded();
    if (!wait)
        return;
    StepPainter& painter = StepPainter::of(wait);
    painter.holdBack();
    wait->lblFileStatus2()->setText(masterFile);
    wait->lblFileStatus()->setText(userFile);
    wait->lblWorksheet()->setText(worksheet);
    wait->lblSysOperation()->setText(operation);
    wait->CorvProgressBar1()->setMax(maximum);
    wait->CorvProgressBar1()->setValue(value);
    wait->CorvProgressBar1()->setDisplay(true);
    painter.stepShown();
}

void PaintWaitWindowNow() {
    if (core::frmWait* wait = core::frmWait::loaded())
        StepPainter::of(wait).paint();
}

WaitWindowScope::WaitWindowScope()
    : loadedHere_(LoadWaitWindowForWorkbooks()) {}

WaitWindowScope::~WaitWindowScope() {
    if (loadedHere_)
        core::frmWait::unload();
}

} // namespace workbooks
