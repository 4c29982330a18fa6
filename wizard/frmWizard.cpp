// See frmWizard.h. This file builds the window and runs its load, captions, page moves,
// Finish and Cancel; the pages' handlers live beside it (frmWizardBudgets.cpp,
// frmWizardGrids.cpp, frmWizardDeletes.cpp).
#include "wizard/frmWizard.h"

#include "core/AppTitle.h"
#include "core/BudgetContextName.h"
#include "core/DataControl.h"
#include "core/DatabaseUpkeep.h"
#include "core/ErrorMessage.h"
#include "core/FormUnload.h"
#include "core/GridBinding.h"
#include "core/RunGuard.h"
#include "core/RunTrapped.h"
#include "core/SystemOps.h"
#include "core/cConnection.h"
#include "core/cOptions.h"
#include "lumistore/cClean.h"
#include "platform/sys/SettingsStore.h"
#include "platform/ui/EditGrid.h"
#include "platform/ui/HelpViewer.h"
#include "platform/ui/LoadedWindows.h"
#include "platform/ui/MenuHost.h"
#include "platform/ui/NamedControls.h"
#include "platform/ui/Ui.h"
#include "platform/ui/WindowOpeners.h"
#include "platform/ui/WizardControl.h"
#include "wizard/BudgetPages.h"
#include "wizard/GridLists.h"
#include "wizard/WizardGrids.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace wizard {

using platform::ui::ColumnKind;
using platform::ui::DataGridColumn;
using platform::ui::EditGrid;

namespace {

const QString kAssignMenu = QStringLiteral("mnuRtMseMenufrmWizard");

const QStringList kPageTitles = {QStringLiteral("Edit Budgets"), QString(),
                                 QStringLiteral("Edit MasterFiles"), QStringLiteral("Create User Files"),
                                 QStringLiteral("Assign User Files")};

const QStringList kInstructions = {
    QStringLiteral(
        "Welcome to the Setup Wizard.  Here you inform the Wizard about your budget contructs i.e., "
        "names, personnel, locations of spreadsheets, folder names for user files and how you want the "
        "system to operate.  You can go forward and back within the Wizard as much as you need.  "
        "Changes to the configuration are stored as you enter data.  Return and use the Wizard when you "
        "need changes to  the budget."),
    QStringLiteral("Answer the Wizard questions to configure the new budget."),
    QStringLiteral(
        "Locate and identify the master budget files.  Click on \"Add\", browse to the budget directory "
        "and add the budget files to the database.  Password protected workbooks and worksheets will "
        "prompt you for entering data."),
    QStringLiteral(
        "The records below are the worksheet names from the master workbooks.  Browse the records and "
        "select the sheets you want to become User files (templates).  Use the Folder Names listbox "
        "control and select the Folder Name.  When selections are done, click on \"Build Files\".  You "
        "can Build All or ones highlighted.  "),
    QStringLiteral(
        "Assign each User File to a user of the system.  Every file must have one owner.  Users are "
        "entered on the Configuration screen. ")};

const QString kBudgetsSource = QStringLiteral("SELECT * FROM Budgets ORDER BY Budget_Name COLLATE NOCASE_U");
const QString kAdminSource =
    QStringLiteral("SELECT Admin_Name, Admin_Email_Address, Mail_Server, Pop3_Server, "
                   "\"Default\", Pop3_Account, RecType FROM Admin "
                   "WHERE Admin_Name IS NOT NULL");

DataGridColumn column(const QString& field, const QString& heading, int widthTwips,
                      ColumnKind kind = ColumnKind::Text, bool editable = true) {
    DataGridColumn made;
    made.field = field;
    made.heading = heading;
    made.widthTwips = widthTwips;
    made.kind = kind;
    made.editable = editable;
    return made;
}

QLabel* counterLabel(QWidget* parent, const QString& name) {
    auto* made = new QLabel(parent);
    made->setObjectName(name);
    return made;
}

// A row of controls; a null entry is a stretch.
QHBoxLayout* row(const QList<QWidget*>& controls) {
    auto* layout = new QHBoxLayout;
    for (QWidget* control : controls) {
        if (control)
            layout->addWidget(control);
        else
            layout->addStretch(1);
    }
    return layout;
}

bool isNetwork() {
    return core::gOptions && core::gOptions->DatabaseMode == QStringLiteral("Network");
}

} // namespace

frmWizard::frmWizard(QWidget* owner)
    : QWidget(owner, Qt::Window) {
    setObjectName(kFormName);
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();
    Form_Load();
}

frmWizard::~frmWizard() {
    Form_Unload();
}

frmWizard* frmWizard::loaded() {
    return qobject_cast<frmWizard*>(platform::ui::LoadedWindows::find(kFormName));
}

EditGrid* frmWizard::activeGrid() const {
    return activeGrid_;
}

QLabel* frmWizard::lblInstruction(int page) const {
    return instructions_.value(page - 1);
}

// --- building

void frmWizard::buildControls() {
    EZWiz_ = new platform::ui::WizardControl(this);
    EZWiz_->setPagesName(QStringLiteral("WizPages"));
    for (QWidget* page : {buildBudgetsPage(), buildNewBudgetPage(), buildMasterFilesPage(),
                          buildWorksheetsPage(), buildAssignPage()}) {
        auto* text = new QLabel(kInstructions.value(instructions_.size()), page);
        text->setObjectName(QStringLiteral("lblInstruction%1").arg(instructions_.size() + 1));
        text->setWordWrap(true);
        qobject_cast<QVBoxLayout*>(page->layout())->insertWidget(0, text);
        instructions_.append(text);
        EZWiz_->addPage(page);
    }
    EZWiz_->setBeforeNext([this](bool& cancel) { EZWiz_BeforeNext(cancel); });
    EZWiz_->setBeforeBack([this](bool& cancel) { EZWiz_BeforeBack(cancel); });
    connect(EZWiz_, &platform::ui::WizardControl::pageChanged, this, &frmWizard::EZWiz_PageChanged);
    connect(EZWiz_, &platform::ui::WizardControl::finished, this, &frmWizard::EZWiz_Finish);
    connect(EZWiz_, &platform::ui::WizardControl::cancelled, this, &frmWizard::EZWiz_Cancel);
    connect(EZWiz_, &platform::ui::WizardControl::goToRequestedPage, this,
            &frmWizard::EZWiz_GoToRequestedPage);

    auto* help =
        platform::ui::namedControl<QPushButton>(this, QStringLiteral("cmdHelp"), QStringLiteral("Help"));
    connect(help, &QPushButton::clicked, this, &frmWizard::cmdHelp_Click);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(EZWiz_, 1);
    layout->addLayout(row({help, nullptr}));
    setGridColumns();
    resize(900, 560);
}

EditGrid* frmWizard::makeGrid(const QString& name) {
    auto* grid = new EditGrid(this);
    grid->setObjectName(name);
    connect(grid, &EditGrid::gotFocus, this, [this, grid] {
        activeGrid_ = grid;
        becomeActiveForm();
    });
    return grid;
}

core::DataControl* frmWizard::makeDataControl(const QString& name) {
    return new core::DataControl(name, this);
}

QWidget* frmWizard::buildBudgetsPage() {
    auto* page = new QWidget;
    dtBudgets_ = makeGrid(QStringLiteral("dtBudgets"));
    datBudgetsRS_ = makeDataControl(QStringLiteral("datBudgetsRS"));
    budgets_ = new core::GridBinding(*dtBudgets_, *datBudgetsRS_);
    // However the budgets are read again, a grant shows as "Granted", never as its token.
    connect(dtBudgets_->view()->model(), &QAbstractItemModel::modelReset, this, &frmWizard::showGrants);
    lblBudgetsRecord_ = counterLabel(page, QStringLiteral("lblBudgetsRecord"));
    dtBudgets_->setRecordCounter(lblBudgetsRecord_, QStringLiteral("Budgets Record: "));
    auto* add =
        platform::ui::namedControl<QPushButton>(page, QStringLiteral("cmdAddBudget"), QStringLiteral("&Add"));
    auto* remove = platform::ui::namedControl<QPushButton>(page, QStringLiteral("cmdDelBudget"),
                                                           QStringLiteral("&Delete"));
    connect(add, &QPushButton::clicked, this, &frmWizard::cmdAddBudget_Click);
    connect(remove, &QPushButton::clicked, this, &frmWizard::cmdDelBudget_Click);
    budgets_->setChangeHandler([this](int r, int c) { dtBudgets_Change(r, c); });
    connect(dtBudgets_, &EditGrid::cellClicked, this, [this](int r, int c, platform::ui::ClickArea area) {
        if (area == platform::ui::ClickArea::Cell)
            dtBudgets_CellClick(r, c);
    });
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(dtBudgets_, 1);
    layout->addLayout(row({lblBudgetsRecord_, nullptr, add, remove}));
    return page;
}

QWidget* frmWizard::buildNewBudgetPage() {
    auto* page = new QWidget;
    tbxBudWiz1_ = new QLineEdit(page);
    tbxBudWiz1_->setObjectName(QStringLiteral("tbxBudWiz1"));
    tbxBudWiz1_->setMaxLength(100);
    connect(tbxBudWiz1_, &QLineEdit::editingFinished, this, &frmWizard::tbxBudWiz1_LostFocus);
    chkBudWiz1_ = platform::ui::namedControl<QCheckBox>(
        page, QStringLiteral("chkBudWiz1"), QStringLiteral("Do you want the budget marked Active?"));
    chkBudWiz1_->setChecked(true);
    cbxAdminNames_ = new QComboBox(page);
    cbxAdminNames_->setObjectName(QStringLiteral("cbxAdminNames"));
    cbxAdminNames_->setEditable(true);
    chkBudWiz3_ = platform::ui::namedControl<QCheckBox>(page, QStringLiteral("chkBudWiz3"),
                                                        QStringLiteral("Are you also using LumivaneXL?"));
    tbxAdminName_ = new QLineEdit(page);
    tbxAdminName_->setObjectName(QStringLiteral("tbxAdminName"));
    tbxAdminName_->setVisible(false);
    datAdminRS_ = makeDataControl(QStringLiteral("datAdminRS"));

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(new QLabel(QStringLiteral("Enter the new budget name"), page));
    layout->addWidget(tbxBudWiz1_);
    layout->addWidget(chkBudWiz1_);
    layout->addWidget(new QLabel(QStringLiteral("Who is the Author of this budget?"), page));
    layout->addWidget(cbxAdminNames_);
    layout->addWidget(chkBudWiz3_);
    layout->addWidget(tbxAdminName_);
    layout->addStretch(1);
    return page;
}

QWidget* frmWizard::buildMasterFilesPage() {
    auto* page = new QWidget;
    dtMasterFiles_ = makeGrid(QStringLiteral("dtMasterFiles"));
    dtMasterFiles_->setRowSelection(platform::ui::RowSelection::SingleRow);
    datMasterFilesRS_ = makeDataControl(QStringLiteral("datMasterFilesRS"));
    masterFiles_ = new core::GridBinding(*dtMasterFiles_, *datMasterFilesRS_);
    masterFiles_->setChangeHandler([this](int r, int c) { dtMasterFiles_Change(r, c); });
    connect(dtMasterFiles_, &EditGrid::cellClicked, this, [this](int r, int c, platform::ui::ClickArea area) {
        dtMasterFiles_CellClick(r, c, area == platform::ui::ClickArea::Heading);
    });
    lblMasterFilesRecord_ = counterLabel(page, QStringLiteral("lblMasterFilesRecord"));
    dtMasterFiles_->setRecordCounter(lblMasterFilesRecord_, QStringLiteral("Master Files Record: "));
    auto* add =
        platform::ui::namedControl<QPushButton>(page, QStringLiteral("cmdAddBF"), QStringLiteral("&Add"));
    auto* remove =
        platform::ui::namedControl<QPushButton>(page, QStringLiteral("cmdDelMF"), QStringLiteral("&Delete"));
    connect(add, &QPushButton::clicked, this, &frmWizard::cmdAddBF_Click);
    connect(remove, &QPushButton::clicked, this, &frmWizard::cmdDelMF_Click);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(dtMasterFiles_, 1);
    layout->addLayout(row({lblMasterFilesRecord_, nullptr, add, remove}));
    return page;
}

QWidget* frmWizard::buildWorksheetsPage() {
    auto* page = new QWidget;
    dtWorksheets_ = makeGrid(QStringLiteral("dtWorksheets"));
    dtWorksheets_->setRowSelection(platform::ui::RowSelection::MultipleRows);
    datWorksheetsRS_ = makeDataControl(QStringLiteral("datWorksheetsRS"));
    worksheets_ = new core::GridBinding(*dtWorksheets_, *datWorksheetsRS_);
    worksheets_->setChangeHandler([this](int r, int c) { dtWorksheets_Change(r, c); });
    connect(dtWorksheets_, &EditGrid::cellClicked, this, [this](int r, int c, platform::ui::ClickArea area) {
        dtWorksheets_CellClick(r, c, area == platform::ui::ClickArea::Heading);
    });
    lblWorksheetsRecord_ = counterLabel(page, QStringLiteral("lblWorksheetsRecord"));
    dtWorksheets_->setRecordCounter(lblWorksheetsRecord_, QStringLiteral("Worksheets Record: "));
    cbxWorksheets_ = new QComboBox(page);
    cbxWorksheets_->setObjectName(QStringLiteral("cbxWorksheets"));
    cbxWorksheets_->setMinimumContentsLength(24);
    connect(cbxWorksheets_, &QComboBox::currentTextChanged, this, &frmWizard::cbxWorksheets_Change);
    chkSelectAll_ =
        platform::ui::namedControl<QCheckBox>(page, QStringLiteral("chkSelectAll"), QStringLiteral("All"));
    chkBuildAllFiles_ = platform::ui::namedControl<QCheckBox>(page, QStringLiteral("chkBuildAllFiles"),
                                                              QStringLiteral("Build All"));
    auto* frame = new QGroupBox(QStringLiteral("User Files"), page);
    chkCopyType_ = platform::ui::namedControl<QCheckBox>(frame, QStringLiteral("chkCopyType"),
                                                         QStringLiteral("Copy - Values Only"));
    chkOWAll_ = platform::ui::namedControl<QCheckBox>(frame, QStringLiteral("chkOWAll"),
                                                      QStringLiteral("Overwrite All"));
    frame->setLayout(row({chkCopyType_, chkOWAll_}));
    auto* build = platform::ui::namedControl<QPushButton>(page, QStringLiteral("cmdBuildFiles"),
                                                          QStringLiteral("Build Files"));
    auto* remove =
        platform::ui::namedControl<QPushButton>(page, QStringLiteral("cmdDelWS"), QStringLiteral("&Delete"));
    connect(build, &QPushButton::clicked, this, &frmWizard::cmdBuildFiles_Click);
    connect(remove, &QPushButton::clicked, this, &frmWizard::cmdDelWS_Click);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(row({cbxWorksheets_, chkSelectAll_, nullptr}));
    layout->addWidget(dtWorksheets_, 1);
    layout->addLayout(row({lblWorksheetsRecord_, nullptr, chkBuildAllFiles_, frame, build, remove}));
    return page;
}

QWidget* frmWizard::buildAssignPage() {
    auto* page = new QWidget;
    dtUFAssign_ = makeGrid(QStringLiteral("dtUFAssign"));
    dtUFAssign_->setToolTip(QStringLiteral("Assign files to Users."));
    dtUFAssign_->setContextMenuName(kAssignMenu);
    dtUFAssign_->setContextMenuColumns({kAssignUserName});
    datUFAssignRS_ = makeDataControl(QStringLiteral("datUFAssignRS"));
    assignments_ = new core::GridBinding(*dtUFAssign_, *datUFAssignRS_);
    dtUsersData_ = makeGrid(QStringLiteral("dtUsersData"));
    dtUsersData_->setToolTip(QStringLiteral("Drag names & drop on 'User Name' to change assignment."));
    dtUsersData_->setContextMenuName(kAssignMenu);
    dtUsersData_->setColumns({column({}, QStringLiteral("User List"), 2400, ColumnKind::Text, false)});
    cmdUserList_ = platform::ui::namedControl<QPushButton>(
        page, QStringLiteral("cmdUserList"), QStringLiteral("User List"), QStringLiteral("Click for list."));
    connect(cmdUserList_, &QPushButton::clicked, this, &frmWizard::cmdUserList_Click);
    assignments_->setChangeHandler([this](int r, int c) { dtUFAssign_Change(r, c); });
    enableUserNameDrags();
    auto* layout = new QVBoxLayout(page);
    auto* grids = new QHBoxLayout;
    grids->addWidget(dtUFAssign_, 3);
    grids->addWidget(dtUsersData_, 1);
    layout->addLayout(grids, 1);
    layout->addLayout(row({nullptr, cmdUserList_}));
    return page;
}

// The columns in the order the handlers address them, each bound to its field by name.
void frmWizard::setGridColumns() {
    dtBudgets_->setColumns(
        {column(QStringLiteral("Budget_Name"), QStringLiteral("Budget Name"), 2400, ColumnKind::Text, false),
         column(QStringLiteral("Active"), QStringLiteral("Active?"), 800, ColumnKind::Check),
         column(QStringLiteral("Storage"), QStringLiteral("Storage?"), 950, ColumnKind::Check),
         column(QStringLiteral("LumiXL"), QStringLiteral("LumiXL?"), 950, ColumnKind::Check),
         column(QStringLiteral("Budget_Date"), QStringLiteral("Budget Date"), 2400, ColumnKind::Text, false),
         column(QStringLiteral("Admin_Name"), QStringLiteral("Budget Author"), 1800, ColumnKind::List),
         column(QStringLiteral("DB_Storage_Filename"), QStringLiteral("DB Filename"), 1600),
         column(QStringLiteral("DB_Create_Date"), QStringLiteral("DB Create Date"), 1500)});
    dtMasterFiles_->setColumns(
        {column(QStringLiteral("Master_File"), QStringLiteral("Master_File"), 2200, ColumnKind::Text, false),
         column(QStringLiteral("Templates"), QStringLiteral("Select"), 700, ColumnKind::Check),
         column(QStringLiteral("Process_Date"), QStringLiteral("Date Added"), 2400, ColumnKind::Text, false),
         column(QStringLiteral("Folder_Name"), QStringLiteral("Folder Names"), 1300),
         column(QStringLiteral("Drive"), QStringLiteral("Drive"), 600, ColumnKind::Text, false),
         column(QStringLiteral("Path"), QStringLiteral("Path"), 2800, ColumnKind::Text, false),
         column(QStringLiteral("MF_Modified_Date"), QStringLiteral("Last Update"), 2400, ColumnKind::Text,
                false),
         column(QStringLiteral("MFPwdsSet"), QStringLiteral("Pwds Set"), 800, ColumnKind::Check),
         column(QStringLiteral("WBOpen_Password"), QStringLiteral("Open Pwd"), 1200),
         column(QStringLiteral("WBWrite_Password"), QStringLiteral("Write Pwd"), 1200),
         column(QStringLiteral("Budget_Name"), QStringLiteral("Budget Name"), 1600, ColumnKind::Text, false),
         column(QStringLiteral("ID_MasterFiles"), QStringLiteral("ID_MasterFiles"), 1100, ColumnKind::Text,
                false)});
    dtWorksheets_->setColumns(
        {column(QStringLiteral("Worksheet_Name"), QStringLiteral("Worksheet_Name"), 2000, ColumnKind::Text,
                false),
         column(QStringLiteral("Select_By_User"), QStringLiteral("Select"), 700, ColumnKind::Check),
         column(QStringLiteral("Folder_Name"), QStringLiteral("Folder Names"), 1500, ColumnKind::List),
         column(QStringLiteral("File_Missing"), QStringLiteral("FileMissing"), 1100, ColumnKind::Check,
                false),
         column(QStringLiteral("Corrupt_Error"), QStringLiteral("FileCorrupt"), 1100, ColumnKind::Check,
                false),
         column(QStringLiteral("UF_Create_Date"), QStringLiteral("Create Date"), 2400, ColumnKind::Text,
                false),
         column(QStringLiteral("WS_Password"), QStringLiteral("Sheet Pwd"), 1200),
         column(QStringLiteral("User_Filename"), QStringLiteral("User File"), 1800, ColumnKind::Text, false),
         column(QStringLiteral("UFNPath"), QStringLiteral("UF Path"), 2800, ColumnKind::Text, false),
         column(QStringLiteral("Master_File"), QStringLiteral("Master File"), 1800, ColumnKind::Text, false),
         column(QStringLiteral("Budget_Name"), QStringLiteral("Budget Name"), 1600, ColumnKind::Text, false),
         column(QStringLiteral("UF_Copy_Values"), QStringLiteral("Values Only"), 1100, ColumnKind::Check,
                false)});
    dtUFAssign_->setColumns(
        {column(QStringLiteral("User_Filename"), QStringLiteral("User_Filename"), 2800, ColumnKind::Text,
                false),
         column(QStringLiteral("Folder_Name"), QStringLiteral("Folder Name"), 1600, ColumnKind::Text, false),
         column(QStringLiteral("Users"), QStringLiteral("User Name"), 2000, ColumnKind::List)});
    for (EditGrid* grid : {dtBudgets_, dtMasterFiles_, dtWorksheets_, dtUFAssign_})
        grid->fitColumnsToHeadings();
    // Paths and names are shown whole, as the explorer's grids show them.
    for (EditGrid* grid : {dtBudgets_, dtMasterFiles_, dtWorksheets_, dtUFAssign_})
        grid->setFitsToContents(true);
}

// --- load and unload

void frmWizard::Form_Load() {
    core::cOptions& options = *core::gOptions;
    options.FormLoading = true;
    core::RunTrapped([this, &options] {
        EZWiz_->setPageRequest(options.WizPageRequest);
        EZWiz_PageChanged();
        chkSelectAll_->setChecked(platform::sys::readSetting(platform::sys::settingsApplication(),
                                                             QStringLiteral("Runtime"),
                                                             QStringLiteral("SelectAllWS"),
                                                             QStringLiteral("0")) == QStringLiteral("1"));
        FillMasterFileList(ContextMasterFiles());
        if (isNetwork()) {
            DataGridColumn grant =
                column(options.LumiAdminUserName,
                       QStringLiteral("PermissionsGranted: [%1]").arg(options.LumiAdminUserName), 2200,
                       ColumnKind::Text, false);
            dtBudgets_->appendColumn(grant);
        }
        dtUFAssign_->setColumnList(2, GetUsersList());
        dtWorksheets_->setColumnList(kSheetFolder, GetFolderNamesList());
        dtUsersData_->setVisible(false);
        if (!isNetwork() || options.SAAuth)
            FillWizardAuthorList();
        fillAuthorCombo();
        const QString cnn = core::gCnn ? core::gCnn->LumiCnn() : QString();
        for (core::DataControl* control :
             {datBudgetsRS_, datMasterFilesRS_, datWorksheetsRS_, datUFAssignRS_})
            control->setConnectionString(cnn);
        datBudgetsRS_->setRecordSource(kBudgetsSource);
        budgets_->Refresh();
        LoadWizardGrids(QString());
        if (options.WizPageRequest != 5)
            EZWiz_->setCurrentPage(options.WizPageRequest);
    });
    options.FormLoading = false;
}

// The author list of page 2: the default authors, the last one preselected.
void frmWizard::fillAuthorCombo() {
    datAdminRS_->setConnectionString(core::gCnn ? core::gCnn->LumiCnn() : QString());
    datAdminRS_->setRecordSource(kAdminSource);
    datAdminRS_->Refresh();
    cbxAdminNames_->clear();
    for (auto& rows = datAdminRS_->Recordset(); !rows.eof(); rows.moveNext()) {
        if (rows.value(QStringLiteral("Default")).toInt() == 1 &&
            rows.value(QStringLiteral("RecType")).toString() == QStringLiteral("Author")) {
            tbxAdminName_->setText(rows.value(QStringLiteral("Admin_Name")).toString());
            cbxAdminNames_->addItem(tbxAdminName_->text());
        }
    }
    cbxAdminNames_->setCurrentText(tbxAdminName_->text());
}

// A grant cell shows "Granted"; the stored grant is never written from the grid.
void frmWizard::showGrants() {
    if (!isNetwork() || dtBudgets_->columnCount() <= kPermission)
        return;
    for (int r = 0; r < dtBudgets_->rowCount(); ++r) {
        if (!dtBudgets_->cellText(r, kPermission).isEmpty())
            dtBudgets_->setCellValue(r, kPermission, QStringLiteral("Granted"));
    }
}

void frmWizard::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void frmWizard::Form_Unload() {
    if (unloaded_)
        return;
    unloaded_ = true;
    core::SetBusyPointer(0);
    platform::ui::setHostMenuItemEnabled(QStringLiteral("mnuFind"), false);
    platform::sys::writeSetting(platform::sys::settingsApplication(), QStringLiteral("Runtime"),
                                QStringLiteral("SelectAllWS"),
                                chkSelectAll_->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    if (core::gOptions && core::gOptions->ActiveForm == this)
        core::gOptions->ActiveForm = nullptr;
}

void frmWizard::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        becomeActiveForm();
    QWidget::changeEvent(event);
}

void frmWizard::becomeActiveForm() {
    if (core::gOptions)
        core::gOptions->ActiveForm = this;
}

// --- caption and grids

void frmWizard::EZWiz_PageChanged() {
    const int page = EZWiz_->currentPage();
    const QString context = core::gOptions ? core::gOptions->BudgetNameContext : QString();
    setWindowTitle(QStringLiteral("%1 - Page %2 of %3 - %4 [Context: %5]")
                       .arg(kBaseCaption)
                       .arg(page)
                       .arg(EZWiz_->pageCount())
                       .arg(kPageTitles.value(page - 1), context));
}

void frmWizard::LoadWizardGrids(const QString& filter) {
    core::RunTrapped([this, &filter] {
        const WizardGridSources sources = ContextGridSources(filter);
        datMasterFilesRS_->setRecordSource(sources.masterFiles.sql, sources.masterFiles.params);
        masterFiles_->Refresh();
        datWorksheetsRS_->setRecordSource(sources.worksheets.sql, sources.worksheets.params);
        worksheets_->Refresh();
        datUFAssignRS_->setRecordSource(sources.assignments.sql, sources.assignments.params);
        assignments_->Refresh();
    });
}

void frmWizard::FillMasterFileList(const QStringList& masterFiles) {
    const bool loading = core::gOptions->FormLoading;
    core::gOptions->FormLoading = true;
    cbxWorksheets_->clear();
    cbxWorksheets_->setVisible(!masterFiles.isEmpty());
    if (!masterFiles.isEmpty()) {
        cbxWorksheets_->addItem(QStringLiteral("All"));
        cbxWorksheets_->addItems(masterFiles);
        cbxWorksheets_->setCurrentText(QStringLiteral("All"));
    }
    core::gOptions->FormLoading = loading;
}

void frmWizard::cbxWorksheets_Change() {
    if (!core::gOptions->FormLoading)
        LoadWizardGrids(cbxWorksheets_->currentText());
}

// --- moves

void frmWizard::EZWiz_GoToRequestedPage() {
    EZWiz_->setPageRequest(core::gOptions->WizPageRequest);
}

// A failure (shown) cancels the move: the page's work was not done.
void frmWizard::EZWiz_BeforeNext(bool& cancel) {
    const bool done = core::RunTrapped([this, &cancel] {
        switch (EZWiz_->currentPage()) {
        case 1:
            // Page 2 is reached only through Add.
            EZWiz_->setCurrentPage(2);
            break;
        case 2:
            cancel = !leaveNewBudgetPage();
            break;
        case 3: {
            lumistore::cClean clean;
            clean.SweepRecords(core::gCnn->LumiCnn(), QStringLiteral("MasterFiles"));
            clean.SweepRecords(core::gCnn->LumiCnn(), QStringLiteral("Budgets"));
            dtWorksheets_->setColumnList(kSheetFolder, GetFolderNamesList());
            LoadWizardGrids(QString());
            break;
        }
        case 4: {
            lumistore::cClean clean;
            clean.SweepRecords(core::gCnn->LumiCnn(), QStringLiteral("Worksheets"));
            dtUFAssign_->setColumnList(2, GetUsersList());
            LoadWizardGrids(QString());
            break;
        }
        default:
            break;
        }
    });
    if (!done)
        cancel = true;
}

void frmWizard::EZWiz_BeforeBack(bool& cancel) {
    const bool done = core::RunTrapped([this, &cancel] {
        switch (EZWiz_->currentPage()) {
        case 2:
            cancel = platform::ui::msgBox(kCancelNewBudgetText, platform::ui::Buttons::YesNo,
                                          core::appTitle()) != platform::ui::Answer::Yes;
            break;
        case 3:
            budgets_->Refresh();
            // Back from page 3 lands on page 1.
            EZWiz_->setCurrentPage(2);
            break;
        case 4:
            worksheets_->Refresh();
            break;
        default:
            break;
        }
    });
    if (!done)
        cancel = true;
}

void frmWizard::EZWiz_Finish() {
    if (core::RunGuard::refuseDuringRun())
        return;
    core::gOptions->WizPageRequest = 1;
    QWidget* owner = parentWidget();
    close();
    core::RunTrapped([] {
        lumistore::cClean clean;
        clean.SweepRecords(core::gCnn->LumiCnn(), QString());
    });
    if (core::gOptions->DatabaseMode != QStringLiteral("Network"))
        core::CompactDatabase();
    platform::ui::openWindow(QStringLiteral("frmDataTable"), owner);
}

void frmWizard::EZWiz_Cancel() {
    QWidget* owner = parentWidget();
    close();
    core::UnloadForm(QStringLiteral("frmDataTable"));
    core::gOptions->WizPageRequest = 1;
    platform::ui::openWindow(QStringLiteral("frmDataTable"), owner);
}

void frmWizard::cmdHelp_Click() {
    platform::ui::showHelpPage(kFormName);
}

} // namespace wizard
