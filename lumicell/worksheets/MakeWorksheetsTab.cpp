// See MakeWorksheetsTab.h.
#include "lumicell/worksheets/MakeWorksheetsTab.h"

#include "core/AppTitle.h"
#include "core/FormControl.h"
#include "core/RunGuard.h"
#include "core/RunTrapped.h"
#include "core/frmWait.h"
#include "lumicell/AddIn.h"
#include "lumicell/BuildTabPages.h"
#include "lumicell/cOptions.h"
#include "lumicell/worksheets/GridColumn.h"
#include "lumicell/worksheets/MakeWorksheets.h"
#include "platform/sheet/Application.h"
#include "platform/sheet/QuietHost.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "platform/ui/CheckListBox.h"
#include "platform/ui/DataGrid.h"
#include "platform/ui/NamedControls.h"
#include "platform/ui/Twips.h"
#include "platform/ui/Ui.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace lumicell {

namespace {

using platform::ui::CheckListBox;
using platform::ui::DataGrid;
using platform::ui::namedControl;

// The dialog's place and size while this tab lays it out, in twips.
constexpr int kLeftTwips = 3480;
constexpr int kTopTwips = 1800;
constexpr int kWidthTwips = 8745;
constexpr int kHeightTwips = 6345;

struct ModeTexts {
    const char* gridTip;
    const char* task;
    const char* caption;
};
constexpr ModeTexts kMakeMode = {"Select copy template.",
                                 "Select a template and add new names.  Click Make to make worksheets.",
                                 "Build Worksheets - Make Worksheets"};
constexpr ModeTexts kSummaryMode = {"Select worksheets included in summary totals.",
                                    "Identify summary rows and columns.  Click Make to write formulas.",
                                    "Build Worksheets - Make Summary Worksheet"};

CheckListBox* namedList(QWidget* parent, const QString& name, const QString& tip) {
    auto* list = new CheckListBox(parent);
    list->setObjectName(name);
    list->setToolTip(tip);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    return list;
}

bool summaryMode() {
    return gOptions() && gOptions()->FormBldWSBig;
}

} // namespace

MakeWorksheetsTab::MakeWorksheetsTab(QWidget* parent)
    : BuildTabPage(parent) {
    setObjectName(QStringLiteral("MakeWorksheetsTab"));
    buildControls();
    connectControls();
    showMode();
}

void MakeWorksheetsTab::buildControls() {
    dtWSMake_ = new DataGrid(this);
    dtWSMake_->setObjectName(QStringLiteral("dtWSMake"));
    dtWSMake_->setColumns({GridColumn(QStringLiteral("All"), 500, platform::ui::ColumnKind::Check),
                           GridColumn(QStringLiteral("Worksheets"), 1700),
                           GridColumn(QStringLiteral("Copy Range"), 1200)});
    chkAllBW_ = namedControl<QCheckBox>(this, QStringLiteral("chkAllBW"), QStringLiteral("All"),
                                        QStringLiteral("Select ALL worksheets."));
    lbxWSNames_ = namedList(this, QStringLiteral("lbxWSNames"), QStringLiteral("Enter names."));
    lbxRows_ = namedList(this, QStringLiteral("lbxRows"), QStringLiteral("Click on Excel sheet row (col1)."));
    lbxCols_ = namedList(this, QStringLiteral("lbxCols"), QStringLiteral("Click on Excel column (row1)."));
    cmdAddNew_ = namedControl<QPushButton>(this, QStringLiteral("cmdAddNew"), QStringLiteral("Add"),
                                           QStringLiteral("Click to add new worksheet name."));
    cmdDelItem_ = namedControl<QPushButton>(this, QStringLiteral("cmdDelItem"), QStringLiteral("Del"),
                                            QStringLiteral("Select a name to delete and click \"Del\"."));
    cmdClear_ = namedControl<QPushButton>(this, QStringLiteral("cmdClear"), QStringLiteral("Clr"),
                                          QStringLiteral("Clear the list of items."));
    cmdDelete_ = namedControl<QPushButton>(this, QStringLiteral("cmdDelete"), QStringLiteral("Del WS"),
                                           QStringLiteral("Delete the selected worksheets."));
    cmdSummary_ =
        namedControl<QPushButton>(this, QStringLiteral("cmdSummary"), QStringLiteral("Make Summary WS"),
                                  QStringLiteral("Switch right hand pane to a rows & columns display"));
    cmdReturn_ =
        namedControl<QPushButton>(this, QStringLiteral("cmdReturn"), QStringLiteral("Make Worksheets"));
    lblTaskDefine_ = namedControl<QLabel>(this, QStringLiteral("lblTaskDefine"), QString());
    lblTaskDefine_->setWordWrap(true);

    auto* lists = new QHBoxLayout;
    lists->addWidget(lbxWSNames_);
    lists->addWidget(lbxRows_);
    lists->addWidget(lbxCols_);
    auto* listButtons = new QHBoxLayout;
    for (QPushButton* button : {cmdAddNew_, cmdDelItem_, cmdClear_})
        listButtons->addWidget(button);
    auto* right = new QVBoxLayout;
    right->addLayout(lists, 1);
    right->addLayout(listButtons);
    auto* left = new QVBoxLayout;
    left->addWidget(dtWSMake_, 1);
    auto* gridButtons = new QHBoxLayout;
    gridButtons->addWidget(chkAllBW_);
    gridButtons->addWidget(cmdDelete_);
    gridButtons->addStretch();
    left->addLayout(gridButtons);
    left->addWidget(cmdSummary_, 0, Qt::AlignLeft);
    left->addWidget(cmdReturn_, 0, Qt::AlignLeft);
    auto* panes = new QHBoxLayout;
    panes->addLayout(left, 3);
    panes->addLayout(right, 2);
    auto* page = new QVBoxLayout(this);
    page->addWidget(lblTaskDefine_);
    page->addLayout(panes, 1);
}

void MakeWorksheetsTab::connectControls() {
    connect(cmdAddNew_, &QPushButton::clicked, this, [this] { addName(); });
    connect(cmdDelItem_, &QPushButton::clicked, this, [this] { DeleteLBItem(); });
    connect(cmdClear_, &QPushButton::clicked, this, [this] { clearLists(); });
    connect(cmdSummary_, &QPushButton::clicked, this, [this] { setMode(true); });
    connect(cmdReturn_, &QPushButton::clicked, this, [this] { setMode(false); });
    connect(cmdDelete_, &QPushButton::clicked, this, [this] {
        DeleteWorksheets();
        core::RunTrapped([] { LoadMakeWorksheetsGrid(); });
    });
    connect(chkAllBW_, &QCheckBox::clicked, this, [this](bool on) { tickAll(on); });
    connect(dtWSMake_, &DataGrid::cellDoubleClicked, this,
            [this](int, int column, platform::ui::ClickArea area) {
                if (area != platform::ui::ClickArea::Heading || column != kTickColumn)
                    return;
                chkAllBW_->setChecked(!chkAllBW_->isChecked());
                tickAll(chkAllBW_->isChecked());
            });
    for (CheckListBox* list : {lbxRows_, lbxCols_})
        connect(list, &CheckListBox::itemCheckChanged, this,
                [this, list](int position) { listCheckChanged(list, position); });
}

// The controls of the current mode; the dialog's size and caption are the layout's (layOut).
void MakeWorksheetsTab::showMode() {
    const bool summary = summaryMode();
    lbxWSNames_->setVisible(!summary);
    cmdAddNew_->setVisible(!summary);
    cmdSummary_->setVisible(!summary);
    cmdDelete_->setVisible(!summary);
    cmdReturn_->setVisible(summary);
    lbxRows_->setVisible(summary);
    lbxCols_->setVisible(summary);
    const ModeTexts& texts = summary ? kSummaryMode : kMakeMode;
    dtWSMake_->setToolTip(QString::fromLatin1(texts.gridTip));
    lblTaskDefine_->setText(QString::fromLatin1(texts.task));
}

// Runs when the dialog is shown or resized and after a mode button: a dialog in its normal
// state gets its design size back and the mode's caption.
void MakeWorksheetsTab::layOut() {
    QWidget* dialog = window();
    if (dialog->windowState() != Qt::WindowNoState)
        return;
    if (dialog != this) {
        const QRect place = platform::ui::Twips::rect(kLeftTwips, kTopTwips, kWidthTwips, kHeightTwips);
        if (dialog->size() != place.size())
            dialog->resize(place.size());
    }
    showMode();
    // The dialog is titled by the tab it shows: the mode's caption only while this page is it.
    if (dialog == this || isVisibleTo(dialog)) {
        const ModeTexts& texts = summaryMode() ? kSummaryMode : kMakeMode;
        dialog->setWindowTitle(QString::fromLatin1(texts.caption));
    }
}

void MakeWorksheetsTab::pageShown() {
    showMode();
}

// A failure ends the work with the generic message; the wait window goes with it.
bool MakeWorksheetsTab::runOk() {
    const bool done = core::RunTrapped([] {
        if (summaryMode())
            MakeSummaryWorksheet();
        else
            MakeWorksheets();
    });
    core::frmWait::unload();
    return done;
}

void MakeWorksheetsTab::retarget() {
    core::RunTrapped([] { LoadMakeWorksheetsGrid(); });
    showMode();
}

void MakeWorksheetsTab::clearGrids() {
    dtWSMake_->resetRows();
}

void MakeWorksheetsTab::addSummaryPick(bool isRow, const QString& entry) {
    CheckListBox* list = isRow ? lbxRows_ : lbxCols_;
    const int position = list->addEntry(entry);
    list->setItemChecked(position, true);
}

void MakeWorksheetsTab::setMode(bool summary) {
    if (gOptions())
        gOptions()->FormBldWSBig = summary;
    layOut();
}

void MakeWorksheetsTab::addName() {
    core::RunTrapped(
        [this] {
            const std::optional<QString> name =
                platform::ui::ui().input(QStringLiteral("Enter the worksheet name."), core::appTitle());
            if (!name || name->isEmpty())
                return;
            const int position = lbxWSNames_->addEntry(*name);
            lbxWSNames_->setItemChecked(position, true);
        },
        core::applicationTitle());
}

void MakeWorksheetsTab::DeleteLBItem() {
    const int selected = lbxWSNames_->firstSelected();
    if (selected >= 0)
        lbxWSNames_->removeEntry(selected);
}

void MakeWorksheetsTab::clearLists() {
    if (summaryMode()) {
        lbxCols_->clearItems();
        lbxRows_->clearItems();
    } else {
        lbxWSNames_->clearItems();
    }
}

void MakeWorksheetsTab::listCheckChanged(CheckListBox* list, int position) {
    if (position >= 0 && !list->isItemChecked(position))
        list->removeEntry(position);
}

void MakeWorksheetsTab::tickAll(bool on) {
    for (int row = 0; row < dtWSMake_->rowCount(); ++row)
        dtWSMake_->setCellValue(row, kTickColumn, on ? 1 : 0);
    dtWSMake_->refresh();
}

void MakeWorksheetsTab::DeleteWorksheets() {
    platform::sheet::Application* app = gXLApp();
    // A run may be merging into the very sheets ticked here.
    if (!app || core::RunGuard::refuseDuringRun())
        return;
    const platform::sheet::QuietHost quiet(app, platform::sheet::Quiet::ScreenAndAlerts);
    core::RunTrapped(
        [this, app] {
            platform::sheet::Workbook* workbook = app->activeWorkbook();
            for (int row = 0; workbook && row < dtWSMake_->rowCount(); ++row)
                if (dtWSMake_->cellValue(row, kTickColumn).toInt() == 1)
                    workbook->deleteSheet(workbook->sheet(dtWSMake_->cellText(row, kSheetColumn)));
        },
        core::applicationTitle());
}

BuildTabPage* MakeWorksheetsPage(QWidget* parent) {
    return new MakeWorksheetsTab(parent);
}

} // namespace lumicell
