// The wait window; see frmWait.h. Positions are the design positions in twips, converted
// to pixels, so the window keeps its designed proportions.
#include "core/frmWait.h"

#include "core/AppTitle.h"
#include "core/cOptions.h"
#include "platform/ui/DataGrid.h"
#include "platform/ui/EventPump.h"
#include "platform/ui/ProgressBar.h"
#include "platform/ui/Twips.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace core {

using platform::ui::Twips;

QPointer<frmWait> frmWait::instance_;

namespace {

// The title bar and borders that the design heights include.
constexpr int kFrameTwips = 330;
// Caption labels start at this left edge inside the frame; value labels at 1680.
constexpr int kCaptionLeft = 120;
constexpr int kCaptionWidth = 1455;
constexpr int kValueLeft = 1680;
constexpr int kValueWidth = 4335;
constexpr int kRowHeight = 255;

const QString kCancelCaption = QStringLiteral("Cancel");
const QString kCancelNowCaption = QStringLiteral("Cancel Now");

// A column of the changes grid; the review fills its rows, so no column is bound to a field.
platform::ui::DataGridColumn changesColumn(const QString& heading, int widthTwips,
                                           platform::ui::ColumnKind kind, bool editable) {
    platform::ui::DataGridColumn column;
    column.heading = heading;
    column.widthTwips = widthTwips;
    column.kind = kind;
    column.editable = editable;
    return column;
}

bool bigLayoutWanted() {
    return gOptions && gOptions->FrmWaitBig;
}

} // namespace

frmWait& frmWait::load() {
    if (!instance_) {
        instance_ = new frmWait(bigLayoutWanted());
        if (instance_->big_ && gOptions)
            gOptions->ActiveForm = instance_.data();
    }
    return *instance_;
}

frmWait* frmWait::loaded() {
    return instance_.data();
}

void frmWait::unload() {
    delete instance_.data();
}

frmWait::frmWait(bool big)
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint)
    , big_(big) {
    setObjectName(QStringLiteral("frmWait"));
    setWindowTitle(appTitle());
    buildControls();
    applyLayout();
}

QLabel* frmWait::addCaption(const QString& name, const QString& text, int top) {
    auto* label = new QLabel(text, frame1_);
    label->setObjectName(name);
    label->setGeometry(Twips::rect(kCaptionLeft, top, kCaptionWidth, kRowHeight));
    return label;
}

QLabel* frmWait::addValue(const QString& name, int left, int top, int width) {
    auto* label = new QLabel(frame1_);
    label->setObjectName(name);
    label->setGeometry(Twips::rect(left, top, width, kRowHeight));
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

void frmWait::buildControls() {
    frame1_ = new QGroupBox(QStringLiteral("Please wait.  The system is working!"), this);
    frame1_->setObjectName(QStringLiteral("Frame1"));
    frame1_->setGeometry(Twips::rect(120, 0, 6255, 2775));

    lblMasterFileLabel_ =
        addCaption(QStringLiteral("lblMasterFileLabel"), QStringLiteral("Master File:"), 340);
    lblFileStatus2_ = addValue(QStringLiteral("lblFileStatus2"), kValueLeft, 340, kValueWidth);
    lblBudgetFileLabel_ = addCaption(QStringLiteral("lblBudgetFileLabel"), QStringLiteral("User File:"), 675);
    lblFileStatus_ = addValue(QStringLiteral("lblFileStatus"), kValueLeft, 675, kValueWidth);
    lblWorksheetLabel_ = addCaption(QStringLiteral("lblWorksheetLabel"), QStringLiteral("Worksheet:"), 1320);
    lblWorksheet_ = addValue(QStringLiteral("lblWorksheet"), kValueLeft, 1320, kValueWidth);
    lblSysOp_ = addCaption(QStringLiteral("lblSysOp"), QStringLiteral("Sys Operation:"), 1680);
    lblSysOperation_ = addValue(QStringLiteral("lblSysOperation"), kValueLeft, 1680, kValueWidth);
    lblSysOperation_->setFont(frame1_->font());
    lbldbTableLabel_ = addCaption(QStringLiteral("lbldbTableLabel"), QStringLiteral("db Table:"), 2400);
    lblTableStatus_ = addValue(QStringLiteral("lblTableStatus"), kValueLeft, 2400, kValueWidth);

    // The second, small "db Table:" pair sits left of the progress bar.
    lbldbTable2Label_ = addCaption(QStringLiteral("lbldbTable2Label"), QStringLiteral("db Table:"), 1920);
    lblTableStatus2_ = addValue(QStringLiteral("lblTableStatus2"), kCaptionLeft, 2130, kCaptionWidth);
    for (QLabel* small : {lbldbTable2Label_, lblTableStatus2_}) {
        QFont font = small->font();
        font.setPointSizeF(font.pointSizeF() * 0.85);
        small->setFont(font);
    }

    // Hidden at design; each run shows the pairs it uses.
    lblMasterFileLabel_->hide();
    lblFileStatus2_->hide();
    lblWorksheetLabel_->hide();
    lblWorksheet_->hide();
    lblTableStatus2_->hide();

    progressBar_ = new platform::ui::ProgressBar(frame1_);
    progressBar_->setObjectName(QStringLiteral("CorvProgressBar1"));
    progressBar_->setGeometry(Twips::rect(1680, 2040, 4335, 330));

    chkCancel_ = new QCheckBox(QStringLiteral("Check1"), this);
    chkCancel_->setObjectName(QStringLiteral("chkCancel"));
    chkCancel_->hide();

    cmdContinue_ = new QPushButton(QStringLiteral("Continue"), this);
    cmdContinue_->setObjectName(QStringLiteral("cmdContinue"));
    connect(cmdContinue_, &QPushButton::clicked, this, &frmWait::cmdContinue_Click);

    cmdCancelOps_ = new QPushButton(kCancelCaption, this);
    cmdCancelOps_->setObjectName(QStringLiteral("cmdCancelOps"));
    connect(cmdCancelOps_, &QPushButton::clicked, this, &frmWait::cmdCancelOps_Click);

    dtChangedData_ = new platform::ui::DataGrid(this);
    dtChangedData_->setObjectName(QStringLiteral("dtChangedData"));
    dtChangedData_->setGeometry(Twips::rect(120, 2880, 6255, 2175));
    using platform::ui::ColumnKind;
    dtChangedData_->setColumns({
        changesColumn(QStringLiteral("Cells Label"), 1200, ColumnKind::Text, false),
        changesColumn(QStringLiteral("Current Value"), 1950, ColumnKind::Text, false),
        changesColumn(QStringLiteral("Accepted"), 900, ColumnKind::Check, false),
        changesColumn(QStringLiteral("Changed Value"), 1950, ColumnKind::Text, true),
    });
}

void frmWait::applyLayout() {
    const int heightTwips = big_ ? kBigHeightTwips : kSmallHeightTwips;
    setFixedSize(Twips::size(kWidthTwips, heightTwips - kFrameTwips));
    cmdContinue_->setGeometry(Twips::rect(2040, 5160, 1215, 300));
    cmdContinue_->setVisible(big_);
    cmdCancelOps_->setGeometry(Twips::rect(3600, big_ ? 5160 : 2850, 1215, 300));
    dtChangedData_->setVisible(big_);
}

void frmWait::cmdCancelOps_Click() {
    if (gOptions && gOptions->FrmWaitBig) {
        gOptions->Pause = false;
        gOptions->CancelOp = true;
    }
    chkCancel_->setChecked(true);
}

void frmWait::cmdContinue_Click() {
    if (gOptions)
        gOptions->Pause = false;
}

void frmWait::closeEvent(QCloseEvent* event) {
    // A run that waits on this window must never hang: the close box asks for Cancel,
    // and the run that owns the window unloads it when it stops.
    cmdCancelOps_Click();
    event->ignore();
}

bool frmWait::pollCancel(double seconds) {
    cmdCancelOps_->setText(kCancelNowCaption);
    cmdCancelOps_->setFocus();
    QPointer<frmWait> self(this);
    const bool requested =
        platform::ui::EventPump::pollFor([&self] { return self && self->chkCancel_->isChecked(); }, seconds);
    if (!self) // unloaded while events went through: nothing left to cancel
        return false;
    if (requested) {
        chkCancel_->setChecked(false);
        return true;
    }
    cmdCancelOps_->setText(kCancelCaption);
    return false;
}

bool PollCancel(double seconds) {
    frmWait* window = frmWait::loaded();
    return window && window->pollCancel(seconds);
}

} // namespace core
