// The Budgets Explorer; see frmDataTable.h. Positions are design positions in twips; the
// resizer keeps them in proportion to the window while gOptions.Resize is on.
#include "lumidesk/frmDataTable.h"

#include "admin/AdminServices.h"
#include "core/DataControl.h"
#include "core/RunTrapped.h"
#include "core/StringScrambling.h"
#include "core/SystemOps.h"
#include "core/cConnection.h"
#include "core/cOptions.h"
#include "lumidesk/BudgetContext.h"
#include "lumidesk/BudgetRecords.h"
#include "lumidesk/ChildWindow.h"
#include "lumidesk/ControlResizer.h"
#include "lumidesk/DataEnvironment2.h"
#include "lumidesk/StatusGrid.h"
#include "lumidesk/UpdateWorkbooks.h"
#include "mail/MailServices.h"
#include "platform/db/Recordset.h"
#include "platform/sys/PlaceholderRow.h"
#include "platform/sys/SettingText.h"
#include "platform/sys/SettingsStore.h"
#include "platform/ui/ComboList.h"
#include "platform/ui/DataGrid.h"
#include "platform/ui/ExplorerTree.h"
#include "platform/ui/LoadedWindows.h"
#include "platform/ui/Twips.h"
#include "wizard/UsersDataHasRecords.h"
#include "workbooks/WorkbookServices.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

namespace lumidesk {

namespace {

using platform::sys::settingsApplication;
using platform::ui::ColumnKind;
using platform::ui::DataGridColumn;
using platform::ui::Twips;

const QString kRuntime = QStringLiteral("Runtime");
const QString kOptions = QStringLiteral("Options");

// Design places (twips) of the frames and the tree.
constexpr int kMargin = 120;
constexpr int kInnerWidth = 12240;
constexpr int kTreeTop = 120;
constexpr int kTreeHeight = 3180;
constexpr int kUserFilesTop = 3360;
constexpr int kGridTop = 240;
constexpr int kFrameExtra = 360; // a frame's caption and border around its grid
constexpr int kUpdateControlsHeight = 1260;
// The height the controls fill, below the window's title bar.
constexpr int kDesignClientHeight = 8400;

// The one loaded explorer.
QPointer<frmDataTable> gLoaded;

QString setting(const QString& section, const QString& key, const QString& defaultValue = {}) {
    return platform::sys::readSetting(settingsApplication(), section, key, defaultValue);
}

void saveSetting(const QString& section, const QString& key, const QString& value) {
    platform::sys::writeSetting(settingsApplication(), section, key, value);
}

bool flagSetting(const QString& section, const QString& key, const QString& defaultValue) {
    return platform::sys::textToBool(setting(section, key, defaultValue)).value_or(false);
}

DataGridColumn gridColumn(const QString& field, const QString& heading, int widthTwips,
                          ColumnKind kind = ColumnKind::Text) {
    DataGridColumn column;
    column.field = field;
    column.heading = heading;
    column.widthTwips = widthTwips;
    column.kind = kind;
    column.editable = false;
    return column;
}

core::cOptions* options() {
    return core::gOptions.get();
}

QLabel* label(const QString& text, const QString& name, QWidget* parent, const QRect& place) {
    auto* control = new QLabel(text, parent);
    control->setObjectName(name);
    control->setGeometry(place);
    return control;
}

} // namespace

frmDataTable::frmDataTable(QWidget* owner)
    : QWidget(owner, Qt::Window) {
    setObjectName(kFormName);
    setAttribute(Qt::WA_DeleteOnClose);
    gLoaded = this;
    buildControls();
    connectHandlers();
    Form_Load();
}

frmDataTable::~frmDataTable() {
    // Destroyed without being closed (with the main window that holds it, as the program
    // ends): the main window may be half destroyed itself, so its menu is left alone.
    Form_Unload(false);
}

frmDataTable* frmDataTable::loaded() {
    return gLoaded.data();
}

frmDataTable* frmDataTable::instance(QWidget* owner) {
    if (gLoaded)
        return gLoaded.data();
    return new frmDataTable(owner);
}

frmDataTable* frmDataTable::Display() {
    frmDataTable* form = instance();
    ChildWindow::show(form, Twips::rect(0, 0, kWidthTwips, kHeightTwips), [form] { form->Form_Activate(); });
    return form;
}

QString frmDataTable::Caption(const QString& context, const QString& databaseMode) {
    return QStringLiteral("Budgets Explorer ") + QStringLiteral("- [") + context +
           QStringLiteral("] [Database:= ") + databaseMode + QStringLiteral("]");
}

QString frmDataTable::TreeCaption(const QString& context) {
    return QStringLiteral("Context is  ") + context;
}

void frmDataTable::SetContextCaptions() {
    const core::cOptions* opts = options();
    const QString context = opts ? opts->BudgetNameContext : QString();
    setWindowTitle(Caption(context, opts ? opts->DatabaseMode : QString()));
    CorvExplorer1_->setCaption(TreeCaption(context));
}

// ---------------------------------------------------------------------------------------------
// Controls

void frmDataTable::buildControls() {
    CorvResizer1_ = new ControlResizer(this, Twips::size(kWidthTwips, kDesignClientHeight),
                                       QStringLiteral("CorvResizer1"));

    CorvExplorer1_ = new platform::ui::ExplorerTree(this);
    CorvExplorer1_->setObjectName(QStringLiteral("CorvExplorer1"));
    CorvExplorer1_->setGeometry(Twips::rect(kMargin, kTreeTop, kInnerWidth, kTreeHeight));
    CorvResizer1_->addControl(CorvExplorer1_, ControlResizer::Follow::Width);

    fmeUserFiles_ = new QGroupBox(QStringLiteral("User Files "), this);
    fmeUserFiles_->setObjectName(QStringLiteral("fmeUserFiles"));
    buildStatusGrid();

    datUFStatusRS_ = new DataControl(QStringLiteral("datUFStatusRS"), this);
    datUFStatControlsRS_ = new DataControl(QStringLiteral("datUFStatControlsRS"), this);
    dtUFStatus_->setSource([this] { return std::optional(datUFStatusRS_->gridRows()); });

    tbxFolderName_ = new QLineEdit(this);
    tbxFolderName_->setObjectName(QStringLiteral("tbxFolderName"));
    tbxFolderName_->hide();
    chkLockedOutState_ = new QCheckBox(this);
    chkLockedOutState_->setObjectName(QStringLiteral("chkLockedOutState"));
    chkLockedOutState_->hide();

    buildUpdateControls();
    // Without the resizer the status grid takes what the window has more than designed, and
    // the update controls stay below it.
    using Follow = ControlResizer::Follow;
    CorvResizer1_->setFollowing(fmeUserFiles_, Follow::Width | Follow::Height);
    CorvResizer1_->setFollowing(dtUFStatus_, Follow::Width | Follow::Height);
    CorvResizer1_->setFollowing(fmeUpdateControls_, Follow::Width | Follow::Bottom);
}

void frmDataTable::buildStatusGrid() {
    dtUFStatus_ = new platform::ui::DataGrid(fmeUserFiles_);
    dtUFStatus_->setObjectName(QStringLiteral("dtUFStatus"));
    QList<DataGridColumn> columns{
        gridColumn(QStringLiteral("User_Filename"), QStringLiteral("User_Filename"), 2000),
        gridColumn(QStringLiteral("Users"), QStringLiteral("Users"), 1500),
        gridColumn(QStringLiteral("Select_By_User"), QStringLiteral("Selected"), 900, ColumnKind::Check),
        gridColumn(QStringLiteral("Email_Sent"), QStringLiteral("Email_Sent"), 2100),
        gridColumn(QStringLiteral("UserFile_Update"), QStringLiteral("UserFile_Update"), 1500,
                   ColumnKind::Check),
        gridColumn(QStringLiteral("Lockout_User_Updates"), QStringLiteral("LockedOut"), 1100,
                   ColumnKind::Check),
        gridColumn(QStringLiteral("Due_Date"), QStringLiteral("Due_Date"), 1400),
        gridColumn(QStringLiteral("Budget_Name"), QStringLiteral("Budget Name"), 1500),
        gridColumn(QStringLiteral("ID_UFTD"), QStringLiteral("ID_UFTD"), 800),
        gridColumn(QStringLiteral("Master_File"), QStringLiteral("Master_File"), 1500),
        gridColumn(QStringLiteral("Folder_Name"), QStringLiteral("Folder_Name"), 1500),
    };
    columns[kLockedOut].editable = true; // the one column edited in the grid
    for (int column : {kIdUftd, kMasterFile, kFolderName})
        columns[column].hidden = true;
    dtUFStatus_->setColumns(columns);
}

void frmDataTable::buildUpdateControls() {
    fmeUpdateControls_ = new QGroupBox(QStringLiteral("Update Controls"), this);
    fmeUpdateControls_->setObjectName(QStringLiteral("fmeUpdateControls"));
    fmeUpdateControls_->hide();
    QWidget* frame = fmeUpdateControls_;

    QList<QWidget*> controls;
    controls << label(QStringLiteral("Update mode:"), QStringLiteral("lblUpdateMode"), frame,
                      Twips::rect(120, 345, 1320, 255));
    cbxUpdateMode_ = new platform::ui::ComboList(frame, platform::ui::ComboList::Style::DropDownList);
    cbxUpdateMode_->setObjectName(QStringLiteral("cbxUpdateMode"));
    cbxUpdateMode_->setGeometry(Twips::rect(1500, 300, 2040, 345));
    lblFolderName_ = label(QStringLiteral("Folder:"), QStringLiteral("lblFolderName"), frame,
                           Twips::rect(3660, 345, 660, 255));
    controls << lblFolderName_;
    cbxFolderName_ = new platform::ui::ComboList(frame, platform::ui::ComboList::Style::DropDownList);
    cbxFolderName_->setObjectName(QStringLiteral("cbxFolderName"));
    cbxFolderName_->setGeometry(Twips::rect(4320, 300, 1980, 345));
    controls << label(QStringLiteral("Change mode:"), QStringLiteral("lblChgeDataMode"), frame,
                      Twips::rect(6420, 345, 1440, 255));
    cbxChgeDataMode_ = new platform::ui::ComboList(frame, platform::ui::ComboList::Style::DropDownList);
    cbxChgeDataMode_->setObjectName(QStringLiteral("cbxChgeDataMode"));
    cbxChgeDataMode_->setGeometry(Twips::rect(7920, 300, 1980, 345));
    cmdUpdateMF_ = new QPushButton(QStringLiteral("Update Workbooks"), frame);
    cmdUpdateMF_->setObjectName(QStringLiteral("cmdUpdateMF"));
    cmdUpdateMF_->setGeometry(Twips::rect(10020, 285, 2040, 375));

    controls << label(QStringLiteral("Password:"), QStringLiteral("lblPassword"), frame,
                      Twips::rect(120, 825, 1320, 255));
    tbxPassword_ = new QLineEdit(frame);
    tbxPassword_->setObjectName(QStringLiteral("tbxPassword"));
    tbxPassword_->setEchoMode(QLineEdit::Password);
    tbxPassword_->setGeometry(Twips::rect(1500, 780, 2040, 345));
    chkSavePW_ = new QCheckBox(QStringLiteral("Save pwd"), frame);
    chkSavePW_->setObjectName(QStringLiteral("chkSavePW"));
    chkSavePW_->setGeometry(Twips::rect(3660, 795, 1200, 315));
    cmdGetMail_ = new QPushButton(QStringLiteral("Get Mail"), frame);
    cmdGetMail_->setObjectName(QStringLiteral("cmdGetMail"));
    cmdGetMail_->setGeometry(Twips::rect(4980, 765, 1620, 375));
    cmdClearDueDate_ = new QPushButton(QStringLiteral("Clear Status"), frame);
    cmdClearDueDate_->setObjectName(QStringLiteral("cmdClearDueDate"));
    cmdClearDueDate_->setGeometry(Twips::rect(10020, 765, 2040, 375));

    controls << cbxUpdateMode_ << cbxFolderName_ << cbxChgeDataMode_ << cmdUpdateMF_ << tbxPassword_
             << chkSavePW_ << cmdGetMail_ << cmdClearDueDate_;
    for (QWidget* control : controls)
        CorvResizer1_->addControl(control);
}

void frmDataTable::connectHandlers() {
    using platform::ui::ClickArea;
    using platform::ui::ExplorerRequest;
    using platform::ui::ExplorerTree;

    connect(cmdUpdateMF_, &QPushButton::clicked, this, &frmDataTable::cmdUpdateMF_Click);
    connect(cmdClearDueDate_, &QPushButton::clicked, this, &frmDataTable::cmdClearDueDate_Click);
    connect(cmdGetMail_, &QPushButton::clicked, this, &frmDataTable::cmdGetMail_Click);
    connect(cbxUpdateMode_, &platform::ui::ComboList::changed, this, &frmDataTable::cbxUpdateMode_Change);
    connect(cbxUpdateMode_, &platform::ui::ComboList::gotFocus, this, &frmDataTable::becomeActiveForm);
    connect(cbxFolderName_, &platform::ui::ComboList::changed, this, &frmDataTable::cbxFolderName_Change);

    connect(dtUFStatus_, &platform::ui::DataGrid::cellClicked, this,
            [this](int row, int column, ClickArea area) {
                dtUFStatus_CellClick(row, column, area == ClickArea::Heading ? 1 : 0);
            });
    connect(dtUFStatus_, &platform::ui::DataGrid::cellChanged, this,
            [this](int row, int column, platform::ui::ChangeOrigin origin) {
                // The program's own writes show what was already saved.
                if (origin == platform::ui::ChangeOrigin::User)
                    dtUFStatus_Change(row, column);
            });
    connect(dtUFStatus_, &platform::ui::DataGrid::gotFocus, this, &frmDataTable::becomeActiveForm);
    connect(dtUFStatus_, &platform::ui::DataGrid::mousePressed, this, &frmDataTable::becomeActiveForm);

    connect(CorvExplorer1_, &ExplorerTree::nodeOpened, this, &frmDataTable::CorvExplorer1_OpenNode);
    connect(CorvExplorer1_, &ExplorerTree::nodeSelecting, this, &frmDataTable::CorvExplorer1_NodeSelecting);
    connect(CorvExplorer1_, &ExplorerTree::permissionRequested, this,
            &frmDataTable::CorvExplorer1_CheckPermission);
    connect(CorvExplorer1_, &ExplorerTree::beforeLabelEdit, this,
            &frmDataTable::CorvExplorer1_CheckBudgetName);
    connect(CorvExplorer1_, &ExplorerTree::labelEdited, this, &frmDataTable::CorvExplorer1_NodeRenamed);
    connect(CorvExplorer1_, &ExplorerTree::nodeSelected, this, [this](int node) {
        // The tree's source follows the selection: its current row is the node's budget.
        if (node >= 0 && node < static_cast<int>(nodeBudgetRow_.size()) && nodeBudgetRow_[node] >= 0 &&
            DataEnvironment2::exists())
            DataEnvironment2::instance().MoveTo(nodeBudgetRow_[node]);
    });
}

void frmDataTable::ShowUpdateControls(bool show) {
    const int gridHeight = show ? kGridHeightWithControlsTwips : kGridHeightWithoutControlsTwips;
    dtUFStatus_->setHeightTwips(gridHeight);
    // The resizer, not a fixed height, keeps the grid in its frame.
    dtUFStatus_->setMinimumHeight(0);
    dtUFStatus_->setMaximumHeight(QWIDGETSIZE_MAX);
    CorvResizer1_->setDesignGeometry(
        fmeUserFiles_, Twips::rect(kMargin, kUserFilesTop, kInnerWidth, gridHeight + kFrameExtra));
    CorvResizer1_->setDesignGeometry(dtUFStatus_, Twips::rect(120, kGridTop, kInnerWidth - 240, gridHeight));
    CorvResizer1_->setDesignGeometry(fmeUpdateControls_,
                                     Twips::rect(kMargin, kUserFilesTop + gridHeight + kFrameExtra + 60,
                                                 kInnerWidth, kUpdateControlsHeight));
    // The folder list shows whatever the update mode; the folder fill hides it again in
    // the "All Folders" mode.
    for (QWidget* control : std::initializer_list<QWidget*>{cmdGetMail_, cmdClearDueDate_, cmdUpdateMF_,
                                                            tbxPassword_, chkSavePW_, cbxUpdateMode_})
        control->setVisible(show);
    ShowFolderList(show);
    fmeUpdateControls_->setVisible(show);
}

void frmDataTable::ShowFolderList(bool show) {
    cbxFolderName_->setVisible(show);
    cbxFolderName_->setEnabled(show);
    lblFolderName_->setVisible(show);
}

// ---------------------------------------------------------------------------------------------
// Tree

void frmDataTable::addTreeNode(const QString& text, int parent, int level, const QString& budget,
                               int budgetRow) {
    CorvExplorer1_->addNode(text, parent);
    nodeLevel_.push_back(level);
    nodeBudget_.push_back(budget);
    nodeBudgetRow_.push_back(budgetRow);
}

void frmDataTable::LoadTree() {
    CorvExplorer1_->clearNodes();
    nodeLevel_.clear();
    nodeBudget_.clear();
    nodeBudgetRow_.clear();
    DataEnvironment2& source = DataEnvironment2::instance();
    source.Requery();
    const ShapedRowset& budgets = source.Rows();
    // A table's placeholder row stands for no row at all: it is no budget, workbook or sheet.
    for (int row = 0; row < static_cast<int>(budgets.rows.size()); ++row) {
        const ShapedRow& budget = budgets.rows[row];
        const QString name = budget.value(budgets, QStringLiteral("Budget_Name")).toString();
        if (name == platform::sys::kPlaceholderText)
            continue;
        const int budgetNode = CorvExplorer1_->nodeCount();
        addTreeNode(name, -1, 0, name, row);
        const ShapedRowset& workbooks = budget.children;
        for (const ShapedRow& workbook : workbooks.rows) {
            const QString master = workbook.value(workbooks, QStringLiteral("Master_File")).toString();
            if (master == platform::sys::kPlaceholderText)
                continue;
            const int workbookNode = CorvExplorer1_->nodeCount();
            addTreeNode(master, budgetNode, 1, name, row);
            const ShapedRowset& sheets = workbook.children;
            for (const ShapedRow& sheet : sheets.rows) {
                const QString sheetName = sheet.value(sheets, QStringLiteral("Worksheet_Name")).toString();
                if (sheetName != platform::sys::kPlaceholderText)
                    addTreeNode(sheetName, workbookNode, 2, name, row);
            }
        }
    }
}

QString frmDataTable::NodeBudget(int node) const {
    return node >= 0 && node < static_cast<int>(nodeBudget_.size()) ? nodeBudget_[node] : QString();
}

int frmDataTable::NodeLevel(int node) const {
    return node >= 0 && node < static_cast<int>(nodeLevel_.size()) ? nodeLevel_[node] : -1;
}

// ---------------------------------------------------------------------------------------------
// Load and unload

void frmDataTable::Form_Load() {
    core::RunTrapped([this] {
        core::cOptions* opts = options();
        if (!opts || !core::gCnn)
            throw std::runtime_error("The options object and the connection descriptor are not set up.");
        becomeActiveForm();
        opts->DataTableIsRunning = true;

        // The user files' activity flags are brought up to date before anything is shown.
        workbooks::CheckUserFilesExist(false, 0);

        ShowUpdateControls(flagSetting(kRuntime, QStringLiteral("ShowControls"), QStringLiteral("True")));

        move(0, 0);
        resize(Twips::size(kWidthTwips, kHeightTwips));
        CorvResizer1_->setEnabled(opts->Resize);

        opts->GetMFInfo();
        SetContextCaptions();

        CorvExplorer1_->setRootIsDecorated(true);
        CorvExplorer1_->setAnimated(true);
        CorvExplorer1_->setUniformRowHeights(true);
        CorvExplorer1_->setSoundsOn(flagSetting(kOptions, QStringLiteral("UseSound"), QStringLiteral("1")));
        LoadTree();
        CorvExplorer1_->setLabelEditing(true);
        if (opts->DatabaseMode.compare(QStringLiteral("Network"), Qt::CaseInsensitive) == 0 &&
            opts->ViewMode.compare(QStringLiteral("Context"), Qt::CaseInsensitive) == 0) {
            if (CorvExplorer1_->findNode(kHomeNodeName) < 0)
                addTreeNode(kHomeNodeName, -1, 0, QString(), -1);
            CorvExplorer1_->setCurrentNode(CorvExplorer1_->findNode(kHomeNodeName, Qt::CaseInsensitive));
        }
        CorvExplorer1_->setCaption(TreeCaption(opts->BudgetNameContext));
        CorvExplorer1_->setToolTip(QStringLiteral("Budgets"));

        const StatusQuery all = UnfilteredStatusQuery();
        for (DataControl* control : {datUFStatusRS_, datUFStatControlsRS_}) {
            control->setConnectionString(core::gCnn->LumiCnn());
            control->setRecordSource(all.sql, all.params);
            control->Refresh();
        }
        dtUFStatus_->requery();

        fillUpdateModeList();
        fillChangeModeList();
        FillFolderCombo();
        wizard::UsersDataHasRecords();

        const bool savePassword = flagSetting(kRuntime, QStringLiteral("SaveMailPW"), QStringLiteral("0"));
        chkSavePW_->setChecked(savePassword);
        opts->SaveMailPW = savePassword;

        if (opts->RetrieveMailOnOpen && !opts->EmailReplys)
            mail::GetMailPasswordAndReceive({tbxPassword_, chkSavePW_});

        ShowStatusQuery(*this, LoadStatusQuery(*this));
        ColorStatusGrid();
        dtUFStatus_->setCurrentCell(0, 0);
    });
}

void frmDataTable::fillUpdateModeList() {
    {
        // Filling the list is no choice of a mode.
        const QSignalBlocker quiet(cbxUpdateMode_);
        cbxUpdateMode_->clearEntries();
        for (const QString& mode : {kAllFolders, kFolderNameMode, kByWBSequence, kByFolderSequence})
            cbxUpdateMode_->addEntry(mode);
        cbxUpdateMode_->setListIndex(0);
    }
    // The saved mode, unless it is one of the two sequence modes.
    const QString saved = setting(kRuntime, QStringLiteral("UpdateObject"), cbxUpdateMode_->text());
    const bool sequence = saved.compare(kByWBSequence, Qt::CaseInsensitive) == 0 ||
                          saved.compare(kByFolderSequence, Qt::CaseInsensitive) == 0;
    if (!sequence && !cbxUpdateMode_->text().isEmpty()) {
        cbxUpdateMode_->setText(saved);
        if (cbxUpdateMode_->text().isEmpty())
            cbxUpdateMode_->setText(kAllFolders);
    } else {
        cbxUpdateMode_->setText(kAllFolders);
    }
}

void frmDataTable::fillChangeModeList() {
    const QSignalBlocker quiet(cbxChgeDataMode_);
    cbxChgeDataMode_->clearEntries();
    for (const QString& mode : kChangeModes)
        cbxChgeDataMode_->addEntry(mode);
    cbxChgeDataMode_->setText(kChangeModes.first());
}

void frmDataTable::closeEvent(QCloseEvent* event) {
    Form_Unload(true);
    event->accept();
    // The child window of the main window that held it goes with it.
    if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget()))
        QMetaObject::invokeMethod(frame, &QWidget::close, Qt::QueuedConnection);
}

void frmDataTable::Form_Unload(bool closing) {
    if (unloaded_)
        return;
    unloaded_ = true;
    if (gLoaded == this)
        gLoaded = nullptr;
    DataEnvironment2::release();

    saveSetting(kRuntime, QStringLiteral("UpdateObject"), cbxUpdateMode_->text());
    saveSetting(kRuntime, QStringLiteral("FolderName"), cbxFolderName_->text());
    saveSetting(kRuntime, QStringLiteral("LockedOut"),
                chkLockedOutState_->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    saveSetting(kRuntime, QStringLiteral("SaveMailPW"),
                chkSavePW_->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    // The mailbox password is kept only while "Save pwd" is ticked; unticking it removes a
    // password saved before.
    if (!chkSavePW_->isChecked())
        platform::sys::deleteSetting(settingsApplication(), kRuntime, QStringLiteral("Zvalue"));
    else if (!tbxPassword_->text().isEmpty())
        saveSetting(kRuntime, QStringLiteral("Zvalue"), core::EncodeString(tbxPassword_->text()));

    if (core::cOptions* opts = options())
        opts->DataTableIsRunning = false;
    if (QWidget* main = closing ? platform::ui::LoadedWindows::find(QStringLiteral("frmMain")) : nullptr) {
        if (auto* find = main->findChild<QAction*>(QStringLiteral("mnuFind")))
            find->setEnabled(false);
    }
    // Unloaded: no longer found by its form name, even before it is destroyed.
    setObjectName(QString());
}

// ---------------------------------------------------------------------------------------------
// Activation

bool frmDataTable::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate)
        Form_Activate();
    return QWidget::event(event);
}

void frmDataTable::Form_Activate() {
    // The window itself, or the child-window frame of the main window that holds it.
    QWidget* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (!frame)
        frame = this;
    const core::cOptions* opts = options();
    const Qt::WindowStates wanted = opts && opts->ScrollBars ? Qt::WindowNoState : Qt::WindowMaximized;
    if ((frame->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized)) != wanted)
        frame->setWindowState(wanted);
    becomeActiveForm();
}

void frmDataTable::becomeActiveForm() {
    if (core::cOptions* opts = options())
        opts->ActiveForm = this;
}

void frmDataTable::mousePressEvent(QMouseEvent* event) {
    becomeActiveForm(); // Form_Click
    QWidget::mousePressEvent(event);
}

// ---------------------------------------------------------------------------------------------
// Buttons and lists

void frmDataTable::cmdUpdateMF_Click() {
    becomeActiveForm();
    core::SetBusyPointer(11);
    UpdateWorkbooks();
    core::SetBusyPointer(0);
    if (core::cOptions* opts = options())
        opts->FrmWaitBig = false;
}

void frmDataTable::cmdClearDueDate_Click() {
    saveSetting(kRuntime, QStringLiteral("RefreshDataTable"), QStringLiteral("1"));
    mail::ResetMailStatus();
}

void frmDataTable::cmdGetMail_Click() {
    becomeActiveForm();
    mail::GetMailPasswordAndReceive({tbxPassword_, chkSavePW_});
    tbxPassword_->setFocus();
}

void frmDataTable::cbxUpdateMode_Change() {
    ChangeUpdateMode();
}

void frmDataTable::cbxFolderName_Change() {
    FilterStatusByFolder();
}

// ---------------------------------------------------------------------------------------------
// Status grid

void frmDataTable::dtUFStatus_Change(int row, int column) {
    if (column != kLockedOut)
        return;
    const bool saved = core::RunTrapped([this, row] {
        platform::db::Recordset& rows = datUFStatusRS_->Recordset();
        rows.moveFirst();
        if (row > 0)
            rows.move(row);
        rows.setValue(QStringLiteral("Lockout_User_Updates"),
                      dtUFStatus_->cellValue(row, kLockedOut).toInt() ? 1 : 0);
        rows.update();
    });
    if (saved) {
        ToggleLockoutCell(kLockoutRecolour);
        return;
    }
    // Not saved: the grid shows again what the database holds.
    core::RunTrapped([this] {
        platform::db::Recordset& rows = datUFStatusRS_->Recordset();
        if (rows.isOpen() && rows.editPending())
            rows.cancelUpdate();
        datUFStatusRS_->Refresh();
        dtUFStatus_->requery();
        ColorStatusGrid();
    });
}

void frmDataTable::dtUFStatus_CellClick(int row, int column, int kind) {
    becomeActiveForm();
    StatusGridCellClick(row, column, kind);
}

// ---------------------------------------------------------------------------------------------
// Tree notifications

void frmDataTable::CorvExplorer1_OpenNode(int node) {
    OpenExplorerNode(*CorvExplorer1_, node);
}

void frmDataTable::CorvExplorer1_NodeSelecting(platform::ui::ExplorerRequest* request) {
    CheckBrowseOnNodeSelect(*CorvExplorer1_, request->node, false);
}

void frmDataTable::CorvExplorer1_CheckPermission(platform::ui::ExplorerRequest* request) {
    const core::cOptions* opts = options();
    if (!opts || opts->DatabaseMode.compare(QStringLiteral("Network"), Qt::CaseInsensitive) != 0 ||
        !opts->DataTableIsRunning ||
        opts->ViewMode.compare(QStringLiteral("Context"), Qt::CaseInsensitive) != 0)
        return;
    // Only a budget node can be granted; the others are refused without a message.
    const QString budget = NodeLevel(request->node) == 0 ? NodeBudget(request->node) : QString();
    if (budget.isEmpty() || budget == platform::sys::kPlaceholderText) {
        request->cancel = true;
        return;
    }
    int mode = 1;
    if (!admin::SetBudgetContext(budget, opts->LumiAdminUserName, mode))
        request->cancel = true;
}

void frmDataTable::CorvExplorer1_CheckBudgetName(platform::ui::ExplorerRequest* request) {
    // Only a budget node naming a stored budget is renamed from the tree.
    if (!BudgetExists(*CorvExplorer1_, request->node))
        request->cancel = true;
}

void frmDataTable::CorvExplorer1_NodeRenamed(int node) {
    RenameBudgetFromExplorer(NodeBudget(node), CorvExplorer1_->nodeText(node));
    // The window is built anew, after this notification has returned, so tree, grid and
    // lists show the stored names.
    QTimer::singleShot(0, [] {
        if (frmDataTable* old = frmDataTable::loaded())
            old->close();
        frmDataTable::Display();
    });
}

} // namespace lumidesk
