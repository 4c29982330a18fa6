// See frmBuild.h. Every handler that the dialog traps shows the add-in's generic error message
// and switches the spreadsheet program's screen updating back on.
#include "lumicell/buildbudget/frmBuild.h"

#include "core/RunGuard.h"
#include "core/cDB2.h"
#include "core/cOptions.h"
#include "core/frmWait.h"
#include "corvakit/CorvHotLink.h"
#include "lumicell/AddIn.h"
#include "lumicell/BuildTabPages.h"
#include "lumicell/DialogHandler.h"
#include "lumicell/ParentToExcel.h"
#include "lumicell/SampleTemplates.h"
#include "lumicell/buildbudget/AddWorkbookToBudget.h"
#include "lumicell/buildbudget/CreateUserFilesGrid.h"
#include "lumicell/buildbudget/CreateUserFilesXL.h"
#include "lumicell/buildbudget/UserFileAssignment.h"
#include "lumicell/buildbudget/frmSync.h"
#include "lumicell/cOptions.h"
#include "platform/sheet/Application.h"
#include "platform/sheet/Workbook.h"
#include "platform/sys/PlaceholderRow.h"
#include "platform/sys/SettingText.h"
#include "platform/sys/SettingsStore.h"
#include "platform/ui/EditGrid.h"
#include "platform/ui/HelpViewer.h"
#include "platform/ui/LoadedWindows.h"
#include "platform/ui/NamedControls.h"
#include "platform/ui/StatusLine.h"
#include "platform/ui/Ui.h"
#include "platform/ui/WindowPlace.h"
#include "wizard/GridLists.h"
#include "wizard/SyncUserFileTable.h"
#include "workbooks/CheckUserFilesExist.h"
#include "workbooks/CreateUserFiles.h"
#include "workbooks/CreateUserFilesForSelection.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>

namespace lumicell {

namespace {

using platform::ui::ColumnKind;
using platform::ui::DataGridColumn;
using platform::ui::namedControl;

const QString kRuntime = QStringLiteral("Runtime");
const QString kSetBuildTab = QStringLiteral("SetBuildTab");
const QString kDataRadioBtn = QStringLiteral("DataRadioBtn");
const QString kNone = QStringLiteral("None");
// The web help page of this dialog.
const QString kWebHelpAddress = QStringLiteral("https://www.lumivane.example/help/buildbudget.html");

cOptions& options() {
    return *gOptions();
}

QString setting(const QString& key) {
    return platform::sys::readSetting(platform::sys::settingsApplication(), kRuntime, key,
                                      QStringLiteral("0"));
}

bool settingFlag(const QString& key) {
    return platform::sys::textToBool(setting(key)).value_or(false);
}

void writeSetting(const QString& key, const QString& value) {
    platform::sys::writeSetting(platform::sys::settingsApplication(), kRuntime, key, value);
}

DataGridColumn column(const QString& heading, int widthTwips, ColumnKind kind, bool editable) {
    DataGridColumn made;
    made.heading = heading;
    made.widthTwips = widthTwips;
    made.kind = kind;
    made.editable = editable;
    return made;
}

QString activeWorkbookName() {
    platform::sheet::Application* app = gXLApp();
    platform::sheet::Workbook* book = app ? app->activeWorkbook() : nullptr;
    return book ? book->name() : QString();
}

void openLink(const QUrl& address) {
    if (!QDesktopServices::openUrl(address))
        platform::ui::msgBox(QStringLiteral("'%1' could not be opened.").arg(address.toDisplayString()),
                             platform::ui::Buttons::Ok, core::appTitle());
}

} // namespace

frmBuild::frmBuild(QWidget* parent)
    : QWidget(parent, Qt::Window) {
    setObjectName(kFormName);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Build Budget"));

    SSTab1_ = new QTabWidget(this);
    SSTab1_->setObjectName(QStringLiteral("SSTab1"));
    SSTab1_->setToolTip(QStringLiteral("Click on the tab to select."));
    pages_ = {MakeWorksheetsPage(SSTab1_), RunMacrosPage(SSTab1_), nullptr, nullptr, RangePage(SSTab1_)};
    SSTab1_->addTab(pages_[kMakeWorksheets], QStringLiteral("Make Worksheets"));
    SSTab1_->addTab(pages_[kRunMacros], QStringLiteral("Run Macros"));
    SSTab1_->addTab(buildCreateUserFilesTab(), QStringLiteral("Create User Files"));
    SSTab1_->addTab(buildAssignUserFilesTab(), QStringLiteral("Assign User Files"));
    SSTab1_->addTab(pages_[kRange], QStringLiteral("Range"));

    cmdOK_ = namedControl<QPushButton>(this, QStringLiteral("cmdOK"), QStringLiteral("Make"),
                                       QStringLiteral("Click to run the operation."));
    cmdCancel_ = namedControl<QPushButton>(this, QStringLiteral("cmdCancel"), QStringLiteral("Cancel"),
                                           QStringLiteral("Click to cancel the operation."));
    cmdClose_ = namedControl<QPushButton>(this, QStringLiteral("cmdClose"), QStringLiteral("Close"),
                                          QStringLiteral("Click to close without processing."));
    cmdHelp_ = namedControl<QPushButton>(this, QStringLiteral("cmdHelp"), QStringLiteral("Help"));
    lblTitle_ = namedControl<QLabel>(this, QStringLiteral("lblTitle"), QString());
    agtxtHelp_ = new corvakit::CorvHotLink(QStringLiteral("Web HELP"), this);
    agtxtHelp_->setObjectName(QStringLiteral("agtxtHelp"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(lblTitle_);
    buttons->addWidget(agtxtHelp_);
    buttons->addStretch();
    for (QPushButton* button : {cmdOK_, cmdCancel_, cmdClose_, cmdHelp_})
        buttons->addWidget(button);
    // The line that says what the last action did ("4 user files cut").
    lblStatus_ = namedControl<QLabel>(this, platform::ui::kStatusLabelName, QString());
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(SSTab1_);
    layout->addWidget(lblStatus_);
    layout->addLayout(buttons);
    connectControls();
    RegisterMainDialog(MainDialog::Build, this, this);
}

frmBuild::~frmBuild() {
    if (RegisteredMainDialog(MainDialog::Build) == this)
        RegisterMainDialog(MainDialog::Build, nullptr, nullptr);
}

QWidget* frmBuild::buildCreateUserFilesTab() {
    auto* tab = new QWidget(SSTab1_);
    dtCUF_ = new platform::ui::EditGrid(tab);
    dtCUF_->setObjectName(QStringLiteral("dtCUF"));
    dtCUF_->setFitsToContents(true); // names and paths are shown whole
    dtCUF_->setToolTip(QStringLiteral("Select Worksheets and Folder Names, then Make user files."));
    dtCUF_->setColumns({column(QString(), 400, ColumnKind::Check, true),
                        column(QStringLiteral("Worksheet Names"), 1800, ColumnKind::Text, true),
                        column(QStringLiteral("Folder Name"), 1500, ColumnKind::List, true),
                        column(QStringLiteral("UF Create Date"), 1700, ColumnKind::Text, false),
                        column(QStringLiteral("User File Path"), 2800, ColumnKind::Text, false),
                        column(QStringLiteral("File Missing"), 1000, ColumnKind::Check, false)});
    chkAllCUF_ = namedControl<QCheckBox>(tab, QStringLiteral("chkAllCUF"), QStringLiteral("All Worksheets"),
                                         QStringLiteral("Select All worksheets."));
    chkCopyType_ =
        namedControl<QCheckBox>(tab, QStringLiteral("chkCopyType"), QStringLiteral("Copy - Values Only"));
    Frame1_ = new QGroupBox(QStringLiteral("Load from:"), tab);
    Frame1_->setObjectName(QStringLiteral("Frame1"));
    optData_ = namedControl<QRadioButton>(Frame1_, QStringLiteral("optData"), QStringLiteral("Data"),
                                          QStringLiteral("Select to load from database."));
    optExcel_ = namedControl<QRadioButton>(Frame1_, QStringLiteral("optExcel"), QStringLiteral("Excel"),
                                           QStringLiteral("Select to load from Excel Workbook."));
    auto* views = new QHBoxLayout(Frame1_);
    views->addWidget(optData_);
    views->addWidget(optExcel_);
    cmdSyncdb2ws_ =
        namedControl<QPushButton>(tab, QStringLiteral("cmdSyncdb2ws"), QStringLiteral("Sync Data"));
    Label2_ = namedControl<QLabel>(tab, QStringLiteral("Label2"),
                                   QStringLiteral("Select Worksheets to make User Files.  Click OK."));
    AgHyperTxt2_ = new corvakit::CorvHotLink(QString(), tab);
    AgHyperTxt2_->setObjectName(QStringLiteral("AgHyperTxt2"));

    auto* options = new QHBoxLayout;
    options->addWidget(chkAllCUF_);
    options->addWidget(chkCopyType_);
    options->addWidget(Frame1_);
    options->addWidget(cmdSyncdb2ws_);
    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(Label2_);
    layout->addWidget(dtCUF_, 1);
    layout->addLayout(options);
    layout->addWidget(AgHyperTxt2_);
    return tab;
}

QWidget* frmBuild::buildAssignUserFilesTab() {
    auto* tab = new QWidget(SSTab1_);
    dtUFAssign_ = new platform::ui::EditGrid(tab);
    dtUFAssign_->setObjectName(QStringLiteral("dtUFAssign"));
    dtUFAssign_->setFitsToContents(true);
    dtUFAssign_->setToolTip(QStringLiteral("Assign the user files to system users."));
    dtUFAssign_->setColumns({column(QStringLiteral("User Filename"), 2400, ColumnKind::Text, false),
                             column(QStringLiteral("Folder Name"), 1800, ColumnKind::Text, false),
                             column(QStringLiteral("Users"), 2400, ColumnKind::List, true)});
    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(dtUFAssign_);
    return tab;
}

void frmBuild::connectControls() {
    connect(SSTab1_, &QTabWidget::currentChanged, this, [this](int tab) {
        if (!loading_)
            SSTab1_Click(tab);
    });
    connect(cmdOK_, &QPushButton::clicked, this, &frmBuild::cmdOK_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &QWidget::close);
    connect(cmdClose_, &QPushButton::clicked, this, &QWidget::close);
    connect(cmdHelp_, &QPushButton::clicked, this, [] { platform::ui::showHelpPage(kFormName); });
    connect(agtxtHelp_, &QAbstractButton::clicked, this, [] { openLink(QUrl(kWebHelpAddress)); });
    connect(AgHyperTxt2_, &QAbstractButton::clicked, this,
            [this] { openLink(QUrl::fromLocalFile(AgHyperTxt2_->text())); });
    connect(optExcel_, &QRadioButton::clicked, this, &frmBuild::optExcel_Click);
    connect(optData_, &QRadioButton::clicked, this, &frmBuild::optData_Click);
    connect(chkAllCUF_, &QCheckBox::clicked, this, &frmBuild::chkAllCUF_Click);
    connect(cmdSyncdb2ws_, &QPushButton::clicked, this, &frmBuild::cmdSyncdb2ws_Click);

    const auto keepBeforeEdit = [](platform::ui::EditGrid* grid) {
        return [grid](int row, int column) { gOptions()->BeforeEditValue = grid->cellText(row, column); };
    };
    connect(dtCUF_, &platform::ui::DataGrid::beforeEdit, this, keepBeforeEdit(dtCUF_));
    connect(dtUFAssign_, &platform::ui::DataGrid::beforeEdit, this, keepBeforeEdit(dtUFAssign_));
    dtCUF_->setChangeProcedure([this](int row, int column) { SaveCreateUserFilesCell(*this, row, column); });
    dtUFAssign_->setChangeProcedure(
        [this](int row, int column) { SaveUserFileAssignCell(*dtUFAssign_, row, column); });
    connect(dtCUF_, &platform::ui::DataGrid::cellDoubleClicked, this,
            [this](int, int column, platform::ui::ClickArea area) {
                if (area != platform::ui::ClickArea::Heading || column != kCufSelect)
                    return;
                chkAllCUF_->setChecked(!chkAllCUF_->isChecked());
                chkAllCUF_Click();
            });
    for (platform::ui::DataGrid* grid : {dtCUF_, dtUFAssign_})
        connect(grid, &platform::ui::DataGrid::gotFocus, this, [this] { gOptions()->ActiveForm = this; });
}

frmBuild* frmBuild::loaded() {
    return qobject_cast<frmBuild*>(platform::ui::LoadedWindows::find(kFormName));
}

BuildTabPage* frmBuild::page(int tab) const {
    return pages_.value(tab);
}

QString frmBuild::tabTitle(int tab) {
    static const QStringList titles = {QStringLiteral("Build Budget - Make Worksheets"),
                                       QStringLiteral("Build Budget - Run Macros"),
                                       QStringLiteral("Build Budget - Create User Files"),
                                       QStringLiteral("Build Budget - Assign User Files")};
    return titles.value(tab);
}

void frmBuild::setTitle(int tab) {
    setWindowTitle(tabTitle(tab) + QStringLiteral(" [Context: ") + options().BudgetNameContext + u']');
}

void frmBuild::showVersionText() {
    lblTitle_->setText(VersionText());
    agtxtHelp_->setToolTip(kWebHelpTip);
}

void frmBuild::place() {
    platform::ui::placeOnOwner(*this, QRect(kLeftTwips, kTopTwips, kWidthTwips, kHeightTwips));
}

// The Make Worksheets page lays out its mode on every show and resize, whichever tab is shown:
// the dialog keeps its design size and takes that mode's caption.
void frmBuild::layOutMakeWorksheets() {
    if (BuildTabPage* make = pages_.value(kMakeWorksheets))
        make->layOut();
}

void frmBuild::retargetPages() {
    for (BuildTabPage* page : pages_)
        if (page)
            page->retarget();
}

void frmBuild::Form_Load() {
    loading_ = true;
    RunDialogHandler([this] {
        ParentToExcel(*this);
        SSTab1_->setTabEnabled(kRange, false);
        cOptions& opts = options();
        opts.ActiveForm = this;
        if (opts.AWBSet == kNone) {
            showVersionText();
            return;
        }
        opts.CUFIsRunning = true;
        opts.FormLoadWB = activeWorkbookName();
        opts.GetMFInfo(gXLApp());
        if (!platform::sheet::Workbook::isWorkbookName(opts.MasterFilename)) {
            showVersionText();
            return;
        }
        if (IsSampleTemplate(activeWorkbookName())) {
            LoadForTemplate();
        } else {
            core::cDB2 query;
            query.SetConnection();
            query.Cnn().execute(QStringLiteral("DELETE FROM Budgets WHERE Budget_Name = ?"),
                                {platform::sys::kPlaceholderText});
            if (!AddWorkbookToBudget(opts.MasterFilename, opts.MFPath)) {
                opts.UnloadForm = true;
                return;
            }
            if (!opts.NewBudgetFile) {
                if (settingFlag(kDataRadioBtn)) {
                    optData_->setChecked(true);
                    workbooks::CheckUserFilesExist(true, 0);
                    LoadCreateUserFilesGrid(*this);
                } else {
                    optExcel_->setChecked(true);
                    RegisterWorkbookSheets(*this);
                }
            } else {
                writeSetting(kSetBuildTab, QStringLiteral("2"));
                writeSetting(kDataRadioBtn, QStringLiteral("0"));
                optExcel_->setChecked(true);
                RegisterWorkbookSheets(*this);
                opts.NewBudgetFile = false;
            }
            LoadForBudget();
        }
        // The Range tab is switched off: a stored index beyond the others opens Assign User Files.
        const int tab = std::clamp(setting(kSetBuildTab).toInt(), 0, int(kAssignUserFiles));
        const bool changes = SSTab1_->currentIndex() != tab;
        SSTab1_->setCurrentIndex(tab);
        if (changes)
            SSTab1_Click(tab);
        if (tab <= kAssignUserFiles)
            cmdOK_->setText(tab <= kRunMacros
                                ? pages_[tab]->okCaption()
                                : (tab == kCreateUserFiles ? QStringLiteral("Make") : QStringLiteral("OK")));
    });
    loading_ = false;
}

void frmBuild::LoadForTemplate() {
    RunDialogHandler([this] {
        options().BudgetNameContext.clear();
        place();
        showVersionText();
        setTitle(kMakeWorksheets);
        retargetPages();
        cmdOK_->setText(QStringLiteral("Make"));
    });
}

void frmBuild::LoadForBudget() {
    RunDialogHandler([this] {
        place();
        showVersionText();
        setTitle(kMakeWorksheets);
        retargetPages();
        dtUFAssign_->setColumnList(kAssignUsers, wizard::GetUsersList());
        dtUFAssign_->refresh();
        LoadUserFileAssignGrid(*dtUFAssign_);
    });
}

void frmBuild::SSTab1_Click(int tab) {
    RunDialogHandler([this, tab] {
        writeSetting(kSetBuildTab, QString::number(tab));
        if (tab > kAssignUserFiles)
            return;
        cmdOK_->setEnabled(true);
        cmdOK_->setVisible(true);
        if (tab <= kRunMacros)
            cmdOK_->setText(pages_[tab]->okCaption());
        else
            cmdOK_->setText(tab == kCreateUserFiles ? QStringLiteral("Make") : QStringLiteral("OK"));
        setTitle(tab);
        if (BuildTabPage* shown = pages_.value(tab))
            shown->pageShown();
        if (tab == kAssignUserFiles) {
            wizard::SyncUserFileTable();
            LoadUserFileAssignGrid(*dtUFAssign_);
        }
    });
}

void frmBuild::cmdOK_Click() {
    // Making or deleting worksheets, running macros and cutting user files change the workbook,
    // the user files and their records that a run (of this program or another) works on.
    if (SSTab1_->currentIndex() <= kCreateUserFiles && core::RunGuard::refuseDuringRun())
        return;
    RunDialogHandler([this] {
        options().ActiveForm = this;
        const int tab = SSTab1_->currentIndex();
        const bool closeAfter = settingFlag(QStringLiteral("CloseWin"));
        if (tab == kMakeWorksheets || tab == kRunMacros) {
            const bool done = pages_[tab]->runOk();
            if (tab == kRunMacros)
                core::frmWait::unload();
            if (done && closeAfter)
                close();
        } else if (tab == kCreateUserFiles) {
            createUserFiles();
        } else {
            close();
        }
    });
}

void frmBuild::createUserFiles() {
    cOptions& opts = options();
    const qint64 cutBefore = workbooks::UserFilesCutSoFar();
    const qint32 result =
        CreateUserFilesXL(*this, opts.MasterFilename, true, false, chkCopyType_->isChecked());
    platform::ui::showStatusLine(this, workbooks::UserFilesCutText(cutBefore));
    if (result == kBuildDone) {
        wizard::SyncUserFileTable();
        opts.UnloadForm = true;
    } else if (result == kBuildRefused) {
        RegisterWorkbookSheets(*this);
        show();
    } else if (result == kBuildMasterMissing) {
        platform::ui::msgBox(workbooks::kMasterMissingText, platform::ui::Buttons::Ok, core::appTitle());
    } else if (result == kBuildReSync) {
        frmSync::open(); // the builder closed this dialog; the sync window's OK shows it again
        return;
    }
    // The builder and the listing switched screen updating on again at their ends.
    if (unloaded_)
        return;
    tickDatabaseView();
    LoadCreateUserFilesGrid(*this);
    if (result == kBuildDone && settingFlag(QStringLiteral("CloseWin")))
        close();
}

void frmBuild::tickDatabaseView() {
    optData_->setChecked(true);
    optData_Click();
}

void frmBuild::optExcel_Click() {
    RunDialogHandler([this] {
        if (!settingFlag(kDataRadioBtn))
            return;
        writeSetting(kDataRadioBtn, QStringLiteral("0"));
        if (options().AWBSet != kNone) {
            options().FormLoadWB = activeWorkbookName();
            RegisterWorkbookSheets(*this);
            LoadForBudget();
        } else {
            clearGrids();
        }
    });
}

void frmBuild::optData_Click() {
    RunDialogHandler([this] {
        if (settingFlag(kDataRadioBtn))
            return;
        writeSetting(kDataRadioBtn, QStringLiteral("1"));
        LoadCreateUserFilesGrid(*this);
    });
}

void frmBuild::chkAllCUF_Click() {
    RunDialogHandler([this] {
        const int ticked = chkAllCUF_->isChecked() ? 1 : 0;
        for (int row = 0; row < dtCUF_->rowCount(); ++row)
            dtCUF_->setCellValue(row, kCufSelect, ticked);
        if (optData_->isChecked()) {
            core::cDB2 query;
            query.SetConnection();
            query.Cnn().execute(
                QStringLiteral("UPDATE Worksheets SET Select_By_User = ? WHERE Master_File = ? "
                               "COLLATE NOCASE_U AND Budget_Name = ? COLLATE NOCASE_U"),
                {ticked, options().MasterFilename, options().BudgetNameContext});
        }
        dtCUF_->refresh();
    });
}

void frmBuild::cmdSyncdb2ws_Click() {
    if (core::RunGuard::refuseDuringRun())
        return;
    frmSync::open();
}

void frmBuild::retarget() {
    RegisterWorkbookSheets(*this);
    retargetPages();
    LoadUserFileAssignGrid(*dtUFAssign_);
}

void frmBuild::clearGrids() {
    dtCUF_->resetRows();
    dtUFAssign_->resetRows();
    for (BuildTabPage* page : pages_)
        if (page)
            page->clearGrids();
}

void frmBuild::addSummaryPick(bool isRow, const QString& entry) {
    if (BuildTabPage* make = pages_[kMakeWorksheets])
        make->addSummaryPick(isRow, entry);
}

bool frmBuild::unloadQuestions() {
    cOptions& opts = options();
    if (opts.RequestedByCUF || opts.BudgetNameContext.isEmpty())
        return false;
    tickDatabaseView();
    platform::sheet::Application* app = gXLApp();
    platform::sheet::Workbook* book = app ? app->activeWorkbook() : nullptr;
    if (!book || WorkbookMatchesDatabase(*book, *dtCUF_))
        return false;
    opts.NeedReSync = true;
    return platform::ui::msgBox(kOutOfSyncQuestion, platform::ui::Buttons::YesNo, core::appTitle()) ==
           platform::ui::Answer::Yes;
}

void frmBuild::closeEvent(QCloseEvent* event) {
    if (unloaded_) {
        event->accept();
        return;
    }
    bool reSync = false;
    RunDialogHandler([this, &reSync] { reSync = unloadQuestions(); });
    writeSetting(kSetBuildTab, QString::number(SSTab1_->currentIndex()));
    options().CUFIsRunning = false;
    platform::ui::closeHelpWindows();
    unloaded_ = true;
    setObjectName(QString()); // no longer found as the loaded dialog while it waits to be deleted
    RegisterMainDialog(MainDialog::Build, nullptr, nullptr);
    event->accept();
    if (reSync)
        frmSync::open();
}

void frmBuild::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    layOutMakeWorksheets();
}

void frmBuild::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (isVisible())
        layOutMakeWorksheets();
}

void frmBuild::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        options().ActiveForm = this;
}

} // namespace lumicell
