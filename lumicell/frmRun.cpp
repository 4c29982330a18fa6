// See frmRun.h. This file builds the dialog and runs its load, tabs, buttons and unload; the
// grids are filled by RunViews.h, the update by UpdateCommandXL.h, the mail by mail/.
#include "lumicell/frmRun.h"

#include "core/AppTitle.h"
#include "core/ErrorMessage.h"
#include "core/RunGuard.h"
#include "core/RunTrapped.h"
#include "core/StringScrambling.h"
#include "lumicell/AddIn.h"
#include "lumicell/ParentToExcel.h"
#include "lumicell/RunViews.h"
#include "lumicell/SampleTemplates.h"
#include "lumicell/UpdateCommandXL.h"
#include "lumicell/buildbudget/AddWorkbookToBudget.h"
#include "lumicell/cOptions.h"
#include "mail/CollectMail.h"
#include "mail/DueDates.h"
#include "mail/SendMail.h"
#include "mail/SendMailPanel.h"
#include "platform/sheet/Application.h"
#include "platform/sheet/Workbook.h"
#include "platform/sys/SettingText.h"
#include "platform/sys/SettingsStore.h"
#include "platform/ui/ComboList.h"
#include "platform/ui/DataGrid.h"
#include "platform/ui/EditGrid.h"
#include "platform/ui/HelpViewer.h"
#include "platform/ui/NamedControls.h"
#include "platform/ui/StatusLine.h"
#include "platform/ui/Ui.h"
#include "platform/ui/WindowPlace.h"
#include "workbooks/CheckUserFilesExist.h"
#include "workbooks/UpdateRun.h"
#include "workbooks/cUpdate.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace lumicell {

namespace {

using platform::ui::ColumnKind;
using platform::ui::DataGridColumn;

const QString kRuntime = QStringLiteral("Runtime");
const QString kOptions = QStringLiteral("Options");
const QString kCaption = QStringLiteral("Run Budget");

QPointer<frmRun> gLoaded;

QString setting(const QString& section, const QString& key, const QString& defaultValue) {
    return platform::sys::readSetting(platform::sys::settingsApplication(), section, key, defaultValue);
}

void writeSetting(const QString& section, const QString& key, const QString& value) {
    platform::sys::writeSetting(platform::sys::settingsApplication(), section, key, value);
}

bool intFlag(const QString& section, const QString& key, int defaultValue) {
    return platform::sys::textToInt(setting(section, key, QString::number(defaultValue)))
               .value_or(defaultValue) != 0;
}

bool boolFlag(const QString& key, bool defaultValue) {
    return platform::sys::textToBool(setting(kRuntime, key, QString())).value_or(defaultValue);
}

QString boxText(const QCheckBox* box) {
    return box->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
}

DataGridColumn column(const char* heading, int widthTwips, ColumnKind kind = ColumnKind::Text) {
    DataGridColumn made;
    made.heading = QString::fromLatin1(heading);
    made.widthTwips = widthTwips;
    made.kind = kind;
    made.editable = false;
    return made;
}

platform::ui::DataGrid* grid(QWidget* parent, const char* name, const char* tip) {
    auto* made = new platform::ui::DataGrid(parent);
    made->setObjectName(QString::fromLatin1(name));
    made->setFitsToContents(true); // names, paths and dates are shown whole
    if (tip)
        made->setToolTip(QString::fromLatin1(tip));
    return made;
}

cOptions& options() {
    cOptions* started = gOptions();
    if (!started)
        throw NotStartedError();
    return *started;
}

QString contextPart() {
    return QStringLiteral(" [Context: ") + options().BudgetNameContext + u']';
}

QString updatedPart() {
    return QStringLiteral(" [Updated: ") + options().LastUpdate + u']';
}

// Runs a handler's work; an error is shown with the add-in library's title and what was done
// before it stays done. False after an error.
template <typename Work> bool trapped(Work&& work) {
    return core::RunTrapped(std::forward<Work>(work), core::applicationTitle());
}

} // namespace

frmRun::frmRun()
    : QWidget(nullptr, Qt::Window) {
    setObjectName(kRunBudgetForm);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(kCaption);
    buildControls();
    gLoaded = this;
    RegisterMainDialog(MainDialog::Run, this, this);
    Form_Load();
}

frmRun::~frmRun() {
    Form_Unload();
}

frmRun* frmRun::loaded() {
    return gLoaded;
}

// --- building

void frmRun::buildControls() {
    SSTab1_ = new QTabWidget(this);
    SSTab1_->setObjectName(QStringLiteral("SSTab1"));
    SSTab1_->setToolTip(QStringLiteral("Click on the tab to select."));
    SSTab1_->addTab(buildUpdateTab(), QStringLiteral("Update Workbook"));
    SSTab1_->addTab(buildSendTab(), QStringLiteral("Send Users Mail"));
    SSTab1_->addTab(buildStatusTab(), QStringLiteral("Status"));
    SSTab1_->addTab(buildFileTab(), QStringLiteral("File"));
    connect(SSTab1_, &QTabWidget::currentChanged, this, &frmRun::SSTab1_Click);
    // The line that says what the last action did ("4 mails sent").
    lblStatus_ = platform::ui::namedControl<QLabel>(this, platform::ui::kStatusLabelName, QString());
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(SSTab1_, 1);
    layout->addWidget(lblStatus_);
    layout->addWidget(buildButtonRow());
}

QWidget* frmRun::buildUpdateTab() {
    auto* tab = new QWidget;
    dtUMW_ = grid(tab, "dtUMW", "Update the master file with these settings.");
    dtUMW_->setColumns({column("Selected", 800, ColumnKind::Check), column("Worksheet Names", 1600),
                        column("User", 1400), column("Folder Name", 1400), column("User File Path", 3200),
                        column("UF Modified Date", 1800)});
    dtUMW_->fitColumnsToHeadings();
    cbxChgeDataMode_ = new platform::ui::ComboList(tab, platform::ui::ComboList::Style::DropDownList);
    cbxChgeDataMode_->setObjectName(QStringLiteral("cbxChgeDataMode"));
    // The longest mode is read whole.
    cbxChgeDataMode_->setMinimumContentsLength(int(workbooks::kPreviewChanges.size()));
    cbxChgeDataMode_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    chkSave_ = platform::ui::namedControl<QCheckBox>(tab, QStringLiteral("chkSave"),
                                                     QStringLiteral("Save Master File"));
    chkAutoSelect_ = platform::ui::namedControl<QCheckBox>(tab, QStringLiteral("chkAutoSelect"),
                                                           QStringLiteral("Auto-Select"),
                                                           QStringLiteral("Select All worksheets."));
    AgHyperTxt2_ = new QLabel(tab);
    AgHyperTxt2_->setObjectName(QStringLiteral("AgHyperTxt2"));
    AgHyperTxt2_->setOpenExternalLinks(true);
    connect(chkSave_, &QCheckBox::clicked, this, &frmRun::chkSave_Click);

    auto* row = new QHBoxLayout;
    row->addWidget(cbxChgeDataMode_);
    row->addWidget(chkSave_);
    row->addWidget(chkAutoSelect_);
    row->addStretch(1);
    row->addWidget(AgHyperTxt2_);
    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(dtUMW_, 1);
    layout->addLayout(row);
    return tab;
}

QWidget* frmRun::buildSendTab() {
    auto* tab = new QWidget;
    sendMail_ = new mail::SendMailPanel(mail::SendMailPanel::Edition::AddIn, tab);
    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(sendMail_);
    return tab;
}

QWidget* frmRun::buildStatusTab() {
    auto* tab = new QWidget;
    dtViewBS_ = grid(tab, "dtViewBS", "Workbook update status screen.");
    dtViewBS_->setColumns({column("User Filename", 1800), column("User", 1400),
                           column("Selected", 800, ColumnKind::Check), column("Email Sent", 1700),
                           column("UF Update", 900, ColumnKind::Check), column("Due Date", 1100),
                           column("File Missing", 900, ColumnKind::Check)});
    dtViewBS_->fitColumnsToHeadings();
    tbxPassword_ = new QLineEdit(tab);
    tbxPassword_->setObjectName(QStringLiteral("tbxPassword"));
    tbxPassword_->setEchoMode(QLineEdit::Password);
    chkSavePW_ = platform::ui::namedControl<QCheckBox>(tab, QStringLiteral("chkSavePW"),
                                                       QStringLiteral("Save password"));
    cmdClear_ = platform::ui::namedControl<QPushButton>(
        tab, QStringLiteral("cmdClear"), QStringLiteral("Clear"),
        QStringLiteral("Clear Email Sent, UF Update & Due Date fields."));
    connect(cmdClear_, &QPushButton::clicked, this, &frmRun::cmdClear_Click);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("Mailbox password:"), tab));
    row->addWidget(tbxPassword_);
    row->addWidget(chkSavePW_);
    row->addStretch(1);
    row->addWidget(cmdClear_);
    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(dtViewBS_, 1);
    layout->addLayout(row);
    return tab;
}

QWidget* frmRun::buildFileTab() {
    auto* tab = new QWidget;
    dtTopDown_ = grid(tab, "dtTopDown", nullptr);
    cbxViews_ = new platform::ui::ComboList(tab, platform::ui::ComboList::Style::DropDownList);
    cbxViews_->setObjectName(QStringLiteral("cbxViews"));
    cbxViews_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    cmdAddBudget_ =
        platform::ui::namedControl<QPushButton>(tab, QStringLiteral("cmdAddBudget"), QStringLiteral("Add"));
    cmdDelRecord_ =
        platform::ui::namedControl<QPushButton>(tab, QStringLiteral("cmdDelRecord"), QStringLiteral("Del"));
    connect(cbxViews_, &platform::ui::ComboList::changed, this, &frmRun::cbxViews_Change);
    connect(cmdAddBudget_, &QPushButton::clicked, this, &frmRun::cmdAddBudget_Click);
    connect(cmdDelRecord_, &QPushButton::clicked, this, &frmRun::cmdDelRecord_Click);
    connect(dtTopDown_, &platform::ui::DataGrid::gotFocus, this, &frmRun::becomeActiveForm);
    connect(dtTopDown_, &platform::ui::DataGrid::cellDoubleClicked, this,
            [this](int row, int col, platform::ui::ClickArea area) {
                if (area == platform::ui::ClickArea::Cell)
                    dtTopDown_DblClick(row, col);
            });
    auto* row = new QHBoxLayout;
    row->addWidget(cbxViews_);
    row->addStretch(1);
    row->addWidget(cmdAddBudget_);
    row->addWidget(cmdDelRecord_);
    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(dtTopDown_, 1);
    layout->addLayout(row);
    return tab;
}

QWidget* frmRun::buildButtonRow() {
    auto* row = new QWidget(this);
    cmdHelp_ =
        platform::ui::namedControl<QPushButton>(row, QStringLiteral("cmdHelp"), QStringLiteral("Help"));
    cmdOK_ = platform::ui::namedControl<QPushButton>(row, QStringLiteral("cmdOK"), QStringLiteral("Update"),
                                                     QStringLiteral("Click to run the operation."));
    cmdCancel_ =
        platform::ui::namedControl<QPushButton>(row, QStringLiteral("cmdCancel"), QStringLiteral("Cancel"),
                                                QStringLiteral("Click to cancel the operation."));
    cmdClose_ =
        platform::ui::namedControl<QPushButton>(row, QStringLiteral("cmdClose"), QStringLiteral("Close"),
                                                QStringLiteral("Click to close without processing."));
    lblTitle_ = new QLabel(row);
    lblTitle_->setObjectName(QStringLiteral("lblTitle"));
    agtxtHelp_ = new QLabel(QStringLiteral("<a href=\"%1\">Web HELP</a>").arg(kWebHelpAddress), row);
    agtxtHelp_->setObjectName(QStringLiteral("agtxtHelp"));
    agtxtHelp_->setOpenExternalLinks(true);
    connect(cmdHelp_, &QPushButton::clicked, this, &frmRun::cmdHelp_Click);
    connect(cmdOK_, &QPushButton::clicked, this, &frmRun::cmdOK_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &frmRun::cmdCancel_Click);
    connect(cmdClose_, &QPushButton::clicked, this, &frmRun::cmdCancel_Click);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(lblTitle_);
    layout->addWidget(agtxtHelp_);
    layout->addStretch(1);
    for (QPushButton* push : {cmdHelp_, cmdOK_, cmdCancel_, cmdClose_})
        layout->addWidget(push);
    return row;
}

// --- load and unload

void frmRun::Form_Load() {
    trapped([this] {
        ParentToExcel(*this);
        becomeActiveForm();
        cOptions& opts = options();
        chkSavePW_->setChecked(intFlag(kRuntime, QStringLiteral("Yvalue"), 0));
        chkSave_->setChecked(intFlag(kOptions, QStringLiteral("SaveMF"), 1));
        opts.SaveMF = chkSave_->isChecked();
        chkAutoSelect_->setChecked(intFlag(kOptions, QStringLiteral("AutoSelect"), 1));
        for (const QString& view : kRunViews)
            cbxViews_->addEntry(view);
        cbxChgeDataMode_->addEntry(workbooks::kAcceptChanges);
        cbxChgeDataMode_->addEntry(workbooks::kPreviewChanges);
        cbxChgeDataMode_->addEntry(workbooks::kEditChanges);
        cbxChgeDataMode_->setText(workbooks::kAcceptChanges);
        cbxViews_->setText(kRunViews.first());
        opts.RunBudIsRunning = true;
        opts.OKUMFClicked = false;
        if (!loadOnWorkbook())
            return;
        fetchMailOnOpen();
        setWindowTitle(kCaption + QStringLiteral(" - Update Workbook"));
        tbxPassword_->update();
    });
}

// Steps 5 to 8 of the load; false when the load ends early (a workbook of no budget).
bool frmRun::loadOnWorkbook() {
    cOptions& opts = options();
    if (opts.AWBSet.compare(QStringLiteral("None"), Qt::CaseInsensitive) == 0) {
        useNoWorkbookLayout();
        return true;
    }
    opts.GetMFInfo(gXLApp());
    AgHyperTxt2_->setText(QStringLiteral("<a href=\"file://%1\">%1</a>").arg(opts.MFPath.toHtmlEscaped()));
    agtxtHelp_->setToolTip(QStringLiteral("Web HELP for Run Budget."));
    if (!platform::sheet::Workbook::isWorkbookName(opts.MasterFilename)) {
        useNoWorkbookLayout();
        return true;
    }
    if (!IsSampleTemplate(opts.MasterFilename)) {
        if (!AddWorkbookToBudget(opts.MasterFilename, opts.MFPath)) {
            opts.UnloadForm = true;
            return false;
        }
        reload();
        platform::ui::placeOnOwner(*this, QRect(kLeftTwips, kTopTwips, kWidthTwips, kHeightTwips));
        lblTitle_->setText(VersionText());
        setWindowTitle(kCaption + contextPart() + updatedPart());
    }
    const int tab =
        platform::sys::textToInt(setting(kRuntime, QStringLiteral("SetRunTab"), QStringLiteral("0")))
            .value_or(kUpdateTab);
    {
        const QSignalBlocker quiet(SSTab1_);
        SSTab1_->setCurrentIndex(tab >= kUpdateTab && tab <= kFileTab ? tab : kUpdateTab);
    }
    SSTab1_Click(SSTab1_->currentIndex());
    return true;
}

void frmRun::useNoWorkbookLayout() {
    SSTab1_->setCurrentIndex(kFileTab);
    SSTab1_Click(kFileTab);
    platform::ui::placeOnOwner(*this, QRect(kLeftTwips, kTopTwips, kWidthTwips, kHeightTwips));
    lblTitle_->setText(VersionText());
    agtxtHelp_->setToolTip(QStringLiteral("Web HELP for Run Budget"));
}

// With Runtime\Xvalue 1 the mailbox is read with the stored password, once decoded.
void frmRun::fetchMailOnOpen() {
    const auto fetch =
        platform::sys::textToInt(setting(kRuntime, QStringLiteral("Xvalue"), QStringLiteral("0")));
    if (fetch != 1)
        return;
    const QString stored = setting(kRuntime, QStringLiteral("Zvalue"), QString());
    if (stored.isEmpty()) {
        platform::ui::msgBox(kMailPasswordUnknownText, platform::ui::Buttons::Ok, core::appTitle());
        return;
    }
    mail::ReceiveReturnedFiles(core::DecodeString(stored));
    // The files collected are flagged, and shown so, at once.
    if (!options().BudgetNameContext.isEmpty()) {
        workbooks::CheckUserFilesExist(true, 0);
        reload();
    }
}

void frmRun::Form_Unload() {
    if (unloaded_)
        return;
    unloaded_ = true;
    trapped([this] {
        if (cOptions* opts = gOptions()) {
            opts->WriteValues();
            opts->RunBudIsRunning = false;
            opts->OKUMFClicked = false;
            if (opts->ActiveForm == this)
                opts->ActiveForm = nullptr;
        }
        writeSetting(kRuntime, QStringLiteral("SetRunTab"), QString::number(SSTab1_->currentIndex()));
        writeSetting(kRuntime, QStringLiteral("Yvalue"), boxText(chkSavePW_));
        writeSetting(kOptions, QStringLiteral("AutoSelect"), boxText(chkAutoSelect_));
        writeSetting(kOptions, QStringLiteral("SaveMF"), boxText(chkSave_));
    });
    platform::ui::closeHelpWindows();
    // Unloaded: no longer found by its form name, even before it is destroyed.
    setObjectName(QString());
    if (gLoaded == this)
        gLoaded = nullptr;
}

void frmRun::closeEvent(QCloseEvent* event) {
    // Closing in the middle of an update would take the windows of its review away.
    if (core::RunGuard::refuseDuringRun()) {
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

void frmRun::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        becomeActiveForm();
    QWidget::changeEvent(event);
}

void frmRun::becomeActiveForm() {
    if (core::gOptions)
        core::gOptions->ActiveForm = this;
}

// --- re-targeting

void frmRun::reload() {
    sendMail_->FillMailLists();
    LoadRunStatusGrids(*this);
    FillSendMailGridXL(*this);
}

// The sink has read the workbook now active and found it a master file of a budget.
void frmRun::retarget() {
    trapped([this] { reload(); });
}

void frmRun::clearGrids() {
    if (core::gOptions)
        core::gOptions->BudgetNameContext.clear();
    for (platform::ui::DataGrid* emptied :
         {dtUMW_, static_cast<platform::ui::DataGrid*>(sendMail_->dtSendMail()), dtViewBS_})
        emptied->resetRows();
}

// --- tabs

void frmRun::SSTab1_Click(int tab) {
    trapped([&] {
        writeSetting(kRuntime, QStringLiteral("SetRunTab"), QString::number(tab));
        showTabButtons(tab);
        setCaptionOfTab(tab);
        if ((tab != kUpdateTab && tab != kStatusTab) || options().BudgetNameContext.isEmpty())
            return;
        // The grids show the flags the check has just set.
        workbooks::CheckUserFilesExist(true, 0);
        LoadRunStatusGrids(*this);
        FillSendMailGridXL(*this);
    });
}

void frmRun::showTabButtons(int tab) {
    static const QString captions[] = {QStringLiteral("Update"), QStringLiteral("Send"),
                                       QStringLiteral("Get Mail")};
    const bool withOk = tab != kFileTab;
    cmdOK_->setVisible(withOk);
    cmdCancel_->setVisible(withOk);
    if (withOk) {
        cmdOK_->setText(captions[tab]);
        cmdOK_->setEnabled(true);
    }
    tbxPassword_->setVisible(tab == kStatusTab);
    chkSavePW_->setVisible(tab == kStatusTab);
}

void frmRun::setCaptionOfTab(int tab) {
    switch (tab) {
    case kUpdateTab:
        setWindowTitle(kCaption + QStringLiteral(" - Update Workbook") + contextPart() + updatedPart());
        break;
    case kSendTab:
        setWindowTitle(kCaption + QStringLiteral(" - Send Mail") + contextPart());
        break;
    case kStatusTab:
        setWindowTitle(kCaption + QStringLiteral(" - View Status") + contextPart() + updatedPart());
        break;
    default:
        setWindowTitle(kCaption + QStringLiteral(" - View Projects") + contextPart());
        break;
    }
}

// --- buttons

void frmRun::cmdOK_Click() {
    becomeActiveForm();
    const int tab = SSTab1_->currentIndex();
    bool done = false;
    trapped([&] { done = runOk(tab); });
    if (cOptions* opts = gOptions())
        opts->OKUMFClicked = false;
    if (done && boolFlag(QStringLiteral("CloseWin"), false))
        close();
}

// The tab's action; false when it could not run.
bool frmRun::runOk(int tab) {
    cOptions& opts = options();
    switch (tab) {
    case kUpdateTab: {
        platform::sheet::Application* app = gXLApp();
        platform::sheet::Workbook* active = app ? app->activeWorkbook() : nullptr;
        if (!active) {
            platform::ui::msgBox(kNoWorkbookText, platform::ui::Buttons::Ok, core::appTitle());
            return false;
        }
        if (!platform::sheet::Workbook::isWorkbookName(active->name()))
            return true;
        const QString mode = cbxChgeDataMode_->text();
        const workbooks::UpdateTally before = workbooks::UpdateTallySoFar();
        UpdateMasterFilesCommandXL(mode);
        platform::ui::showStatusLine(this, workbooks::UpdateSummaryText(before));
        opts.FrmWaitBig = false;
        LoadRunStatusGrids(*this);
        FillSendMailGridXL(*this);
        return true;
    }
    case kSendTab:
        mail::SendMailToAll(*sendMail_);
        FillSendMailGridXL(*this);
        return true;
    case kStatusTab:
        if (mail::GetMailPasswordAndReceive({tbxPassword_, chkSavePW_}) != 0)
            return false;
        LoadRunStatusGrids(*this);
        FillSendMailGridXL(*this);
        return true;
    default:
        return false;
    }
}

void frmRun::cmdCancel_Click() {
    close();
}

void frmRun::cmdHelp_Click() {
    platform::ui::showHelpPage(QStringLiteral("frmRun"));
}

void frmRun::cmdClear_Click() {
    mail::ResetMailStatus();
    LoadRunStatusGrids(*this);
    FillSendMailGridXL(*this);
}

void frmRun::cmdAddBudget_Click() {
    platform::ui::msgBox(kNotImplementedText, platform::ui::Buttons::Ok, core::appTitle());
}

void frmRun::cmdDelRecord_Click() {
    platform::ui::msgBox(kNotImplementedText, platform::ui::Buttons::Ok, core::appTitle());
}

void frmRun::chkSave_Click() {
    if (cOptions* opts = gOptions())
        opts->SaveMF = chkSave_->isChecked();
}

void frmRun::cbxViews_Change() {
    LoadTopDownView(*dtTopDown_, cbxViews_->text());
}

void frmRun::dtTopDown_DblClick(int row, int column) {
    if (column == 0)
        OpenTopDownRow(*dtTopDown_, cbxViews_->text(), row);
}

} // namespace lumicell
