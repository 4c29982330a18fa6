// The configuration window; see frmConfigure.h. This file builds the window, opens and closes
// it, switches its tabs and runs its grids; the options tab and the database tools are in
// frmConfigureOptions.cpp.
#include "admin/frmConfigure.h"

#include "admin/AdminServices.h"
#include "admin/ConfigGridFamily.h"
#include "admin/ConfigGridSupport.h"
#include "admin/ConfigGrids.h"
#include "admin/ConfigureAddIn.h"
#include "core/AppTitle.h"
#include "core/cOptions.h"
#include "platform/ui/EditGrid.h"
#include "platform/ui/HelpViewer.h"
#include "platform/ui/LoadedWindows.h"
#include "platform/ui/MenuHost.h"
#include "platform/ui/NamedControls.h"
#include "platform/ui/Ui.h"
#include "platform/ui/WindowOpeners.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace admin {

using platform::ui::ColumnKind;
using platform::ui::DataGridColumn;
using platform::ui::EditGrid;

namespace {

const QString kContextMenu = QStringLiteral("mnuRtMseMenufrmConfig");

DataGridColumn gridColumn(const QString& heading, int widthTwips, ColumnKind kind = ColumnKind::Text) {
    DataGridColumn column;
    column.heading = heading;
    column.widthTwips = widthTwips;
    column.kind = kind;
    return column;
}

// A grid tab: the grid above, its controls in a row below.
QWidget* gridTab(EditGrid* grid, const QList<QWidget*>& controls) {
    auto* tab = grid->parentWidget();
    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(grid, 1);
    auto* row = new QHBoxLayout;
    for (QWidget* control : controls) {
        if (control)
            row->addWidget(control);
        else
            row->addStretch(1);
    }
    layout->addLayout(row);
    return tab;
}

} // namespace

frmConfigure::frmConfigure(QWidget* owner)
    : QWidget(owner, Qt::Dialog) {
    setObjectName(kFormName);
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();
    Form_Load();
}

// A window destroyed without closing (its owner went first) still saves its options.
frmConfigure::~frmConfigure() {
    Form_Unload();
}

frmConfigure* frmConfigure::loaded() {
    return qobject_cast<frmConfigure*>(platform::ui::LoadedWindows::find(kFormName));
}

// --- building

void frmConfigure::buildControls() {
    SSTab1_ = new QTabWidget(this);
    SSTab1_->setObjectName(QStringLiteral("SSTab1"));
    SSTab1_->setToolTip(QStringLiteral("Click on the tab to select."));
    SSTab1_->addTab(buildOptionsTab(), QStringLiteral("Options"));
    SSTab1_->addTab(buildAdminTab(), QStringLiteral("Admin Accounts"));
    SSTab1_->addTab(buildFolderNamesTab(), QStringLiteral("Folder Names"));
    SSTab1_->addTab(buildUsersTab(), QStringLiteral("User Group"));
    SSTab1_->addTab(buildMessagesTab(), QStringLiteral("Mail Msgs"));
    connect(SSTab1_, &QTabWidget::currentChanged, this, &frmConfigure::SSTab1_Click);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(SSTab1_, 1);
    layout->addWidget(buildButtonRow());
    resize(840, 500);
}

EditGrid* frmConfigure::makeGrid(const QString& name, const QString& tip) {
    auto* tab = new QWidget;
    auto* grid = new EditGrid(tab);
    grid->setObjectName(name);
    grid->setToolTip(tip);
    // The add-in's grids have no context menu: the host has no edit menu of the program's.
    if (!configureAddIn())
        grid->setContextMenuName(kContextMenu);
    connect(grid, &EditGrid::gotFocus, this, &frmConfigure::becomeActiveForm);
    return grid;
}

QWidget* frmConfigure::buildAdminTab() {
    dtAdmin_ = makeGrid(kAdminGrid, QStringLiteral("Configuration data for budget administrators."));
    dtAdmin_->setColumns(
        {gridColumn(QStringLiteral("Default "), 900, ColumnKind::Check),
         gridColumn(QStringLiteral("Default"), 900, ColumnKind::Check),
         gridColumn(QStringLiteral("Account Name"), 1900), gridColumn(QStringLiteral("Email Address"), 2500),
         gridColumn(QStringLiteral("Mail_Server"), 1900), gridColumn(QStringLiteral("Pop3 Acct Name"), 1800),
         gridColumn(QStringLiteral("Incoming Mail"), 2600)});
    dtAdmin_->setChangeProcedure([this](int row, int column) { dtAdmin_Change(row, column); });

    chkAuthors_ =
        platform::ui::namedControl<QCheckBox>(this, QStringLiteral("chkAuthors"), QStringLiteral("Authors"));
    chkAuthors_->setChecked(true);
    chkRobot_ =
        platform::ui::namedControl<QCheckBox>(this, QStringLiteral("chkRobot"), QStringLiteral("Mail Robot"));
    connect(chkAuthors_, &QCheckBox::toggled, this, &frmConfigure::chkAuthors_Click);
    connect(chkRobot_, &QCheckBox::toggled, this, &frmConfigure::chkRobot_Click);
    auto* add =
        platform::ui::namedControl<QPushButton>(this, QStringLiteral("cmdAddAdmin"), QStringLiteral("Add"));
    auto* remove = platform::ui::namedControl<QPushButton>(this, QStringLiteral("cmdDeleteAdmin"),
                                                           QStringLiteral("Delete"));
    connect(add, &QPushButton::clicked, this, &frmConfigure::cmdAddAdmin_Click);
    connect(remove, &QPushButton::clicked, this, &frmConfigure::cmdDeleteAdmin_Click);
    return gridTab(dtAdmin_, {chkAuthors_, chkRobot_, nullptr, add, remove});
}

QWidget* frmConfigure::buildFolderNamesTab() {
    dtFolderNames_ = makeGrid(kFolderNamesGrid, QStringLiteral("Add Folder names to store User Files."));
    dtFolderNames_->setColumns({gridColumn(QStringLiteral("Folder Names"), 4000)});
    dtFolderNames_->fitColumnsToHeadings();
    dtFolderNames_->setChangeProcedure([this](int row, int column) { dtFolderNames_Change(row, column); });
    connect(dtFolderNames_, &EditGrid::beforeEdit, this,
            [this](int row, int column) { keepNameBeforeEdit(dtFolderNames_, row, column); });
    auto* add =
        platform::ui::namedControl<QPushButton>(this, QStringLiteral("cmdAddDept"), QStringLiteral("&Add"));
    auto* remove = platform::ui::namedControl<QPushButton>(this, QStringLiteral("cmdDelFolderNames"),
                                                           QStringLiteral("&Delete"));
    connect(add, &QPushButton::clicked, this, &frmConfigure::cmdAddDept_Click);
    connect(remove, &QPushButton::clicked, this, &frmConfigure::cmdDelFolderNames_Click);
    return gridTab(dtFolderNames_, {nullptr, add, remove});
}

QWidget* frmConfigure::buildUsersTab() {
    dtUsersData_ = makeGrid(kUsersDataGrid, QStringLiteral("Configuration data for budget system users."));
    dtUsersData_->setColumns({gridColumn(QStringLiteral("Users"), 2600),
                              gridColumn(QStringLiteral("Email_Address"), 3200),
                              gridColumn(QStringLiteral("Folder Names"), 2600, ColumnKind::List)});
    dtUsersData_->fitColumnsToHeadings();
    dtUsersData_->setChangeProcedure([this](int row, int column) { dtUsersData_Change(row, column); });
    connect(dtUsersData_, &EditGrid::beforeEdit, this,
            [this](int row, int column) { keepNameBeforeEdit(dtUsersData_, row, column); });
    cmdGetLists_ = platform::ui::namedControl<QPushButton>(this, QStringLiteral("cmdGetLists"),
                                                           QStringLiteral("Get Email Lists"));
    auto* add =
        platform::ui::namedControl<QPushButton>(this, QStringLiteral("cmdAddUsers"), QStringLiteral("Add"));
    auto* remove = platform::ui::namedControl<QPushButton>(this, QStringLiteral("cmdDelUsers"),
                                                           QStringLiteral("Delete"));
    connect(cmdGetLists_, &QPushButton::clicked, this, &frmConfigure::cmdGetLists_Click);
    connect(add, &QPushButton::clicked, this, &frmConfigure::cmdAddUsers_Click);
    connect(remove, &QPushButton::clicked, this, &frmConfigure::cmdDelUsers_Click);
    return gridTab(dtUsersData_, {cmdGetLists_, nullptr, add, remove});
}

QWidget* frmConfigure::buildMessagesTab() {
    dtMsgs_ = makeGrid(kMessagesGrid,
                       QStringLiteral("Select \"Subject\" or \"Body\" to add/delete mail messages."));
    dtMsgs_->setColumns({gridColumn(QStringLiteral("Messages"), 8000)});
    dtMsgs_->fitColumnsToHeadings();
    dtMsgs_->setChangeProcedure([this](int row, int column) { dtMsgs_Change(row, column); });
    connect(dtMsgs_, &EditGrid::beforeEdit, this,
            [this](int row, int column) { keepNameBeforeEdit(dtMsgs_, row, column); });
    chkSubject_ =
        platform::ui::namedControl<QCheckBox>(this, QStringLiteral("chkSubject"), QStringLiteral("Subject"));
    chkSubject_->setChecked(true);
    chkBody_ = platform::ui::namedControl<QCheckBox>(this, QStringLiteral("chkBody"), QStringLiteral("Body"));
    connect(chkSubject_, &QCheckBox::toggled, this, &frmConfigure::chkSubject_Click);
    connect(chkBody_, &QCheckBox::toggled, this, &frmConfigure::chkBody_Click);
    auto* add =
        platform::ui::namedControl<QPushButton>(this, QStringLiteral("cmdAddMsg"), QStringLiteral("&Add"));
    auto* remove =
        platform::ui::namedControl<QPushButton>(this, QStringLiteral("cmdDelMsg"), QStringLiteral("&Delete"));
    connect(add, &QPushButton::clicked, this, &frmConfigure::cmdAddMsg_Click);
    connect(remove, &QPushButton::clicked, this, &frmConfigure::cmdDelMsg_Click);
    return gridTab(dtMsgs_, {chkSubject_, chkBody_, nullptr, add, remove});
}

QWidget* frmConfigure::buildButtonRow() {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    lblTitle_ = new QLabel(row);
    lblTitle_->setObjectName(QStringLiteral("lblTitle"));
    agtxtHelp_ = new QLabel(row);
    agtxtHelp_->setObjectName(QStringLiteral("agtxtHelp"));
    agtxtHelp_->setOpenExternalLinks(true);
    auto* help =
        platform::ui::namedControl<QPushButton>(row, QStringLiteral("cmdHelp"), QStringLiteral("Help"));
    auto* ok = platform::ui::namedControl<QPushButton>(row, QStringLiteral("cmdOK"), QStringLiteral("OK"),
                                                       QStringLiteral("Click to store data"));
    auto* cancel =
        platform::ui::namedControl<QPushButton>(row, QStringLiteral("cmdCancel"), QStringLiteral("Cancel"),
                                                QStringLiteral("Click to cancel the operation."));
    connect(help, &QPushButton::clicked, this, &frmConfigure::cmdHelp_Click);
    connect(ok, &QPushButton::clicked, this, &frmConfigure::cmdOK_Click);
    connect(cancel, &QPushButton::clicked, this, &frmConfigure::cmdCancel_Click);
    layout->addWidget(lblTitle_);
    layout->addWidget(agtxtHelp_);
    layout->addStretch(1);
    layout->addWidget(help);
    layout->addWidget(ok);
    layout->addWidget(cancel);
    return row;
}

EditGrid* frmConfigure::gridOfTab(int tab) const {
    switch (tab) {
    case kAdminTab:
        return dtAdmin_;
    case kFolderNamesTab:
        return dtFolderNames_;
    case kUsersTab:
        return dtUsersData_;
    case kMessagesTab:
        return dtMsgs_;
    default:
        return nullptr;
    }
}

// --- opening and closing

void frmConfigure::Form_Load() {
    detail::trapped([this] {
        becomeActiveForm();
        setWindowTitle(core::appTitle());
        lblTitle_->setText(core::appTitle() + QStringLiteral(" Ver ") +
                           QStringLiteral(LUMIVANE_VERSION_TEXT));
        agtxtHelp_->setText(QStringLiteral("<a href=\"%1\">Web HELP</a>").arg(kWebHelpAddress));
        agtxtHelp_->setToolTip(QStringLiteral("Web HELP for Configure."));
        if (configureAddIn()) {
            readAddInOptions();
        } else {
            readOptions();
            if (core::gOptions)
                core::gOptions->GetMFInfo();
            applyNetworkRights();
        }
        if (core::gOptions) {
            core::gOptions->Messages = true;
            core::gOptions->AdminControl = true;
        }
        showAuthorsView();
        const int tab = savedTab();
        {
            const QSignalBlocker quiet(SSTab1_);
            SSTab1_->setCurrentIndex(tab);
        }
        fillGridOfTab(tab);
        readCloseWindowOption();
    });
}

void frmConfigure::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void frmConfigure::Form_Unload() {
    if (unloaded_)
        return;
    unloaded_ = true;
    detail::trapped([this] { configureAddIn() ? writeAddInOptions() : writeOptions(); });
    platform::ui::closeHelpWindows();
    platform::ui::setHostMenuItemEnabled(QStringLiteral("mnuFind"), false);
}

void frmConfigure::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        becomeActiveForm();
    QWidget::changeEvent(event);
}

void frmConfigure::becomeActiveForm() {
    if (core::gOptions)
        core::gOptions->ActiveForm = this;
}

// --- tabs

void frmConfigure::SSTab1_Click(int tab) {
    fillGridOfTab(tab);
}

void frmConfigure::fillGridOfTab(int tab) {
    becomeActiveForm();
    switch (tab) {
    case kAdminTab:
        LoadAdminGrid();
        break;
    case kFolderNamesTab:
        LoadFolderNamesGrid();
        break;
    case kUsersTab:
        LoadUsersDataGrid();
        break;
    case kMessagesTab:
        LoadMessagesGrid();
        break;
    default:
        break;
    }
}

void frmConfigure::refillGrids() {
    // Refilled on behalf of another window, which stays the active data window.
    QWidget* active = core::gOptions ? core::gOptions->ActiveForm.data() : nullptr;
    becomeActiveForm();
    LoadAdminGrid();
    LoadFolderNamesGrid();
    LoadMessagesGrid();
    LoadUsersDataGrid();
    if (core::gOptions && active)
        core::gOptions->ActiveForm = active;
}

// --- the admin grid's two kinds

void frmConfigure::showAuthorsView() {
    dtAdmin_->setColumnHidden(kAdminDefault, false);
    dtAdmin_->setColumnHidden(kAdminDefaultRobot, true);
    dtAdmin_->setColumnHidden(kAdminPop3Account, true);
    dtAdmin_->setColumnHidden(kAdminPop3Server, true);
    dtAdmin_->setColumnHeading(kAdminDefault, QStringLiteral("Default"));
    dtAdmin_->setColumnHeading(kAdminName, QStringLiteral("Author Name"));
    dtAdmin_->fitColumnsToHeadings();
}

void frmConfigure::showRobotsView() {
    dtAdmin_->setColumnHidden(kAdminDefault, true);
    dtAdmin_->setColumnHidden(kAdminDefaultRobot, false);
    dtAdmin_->setColumnHidden(kAdminPop3Account, false);
    dtAdmin_->setColumnHidden(kAdminPop3Server, false);
    dtAdmin_->setColumnHeading(kAdminDefaultRobot, QStringLiteral("Default"));
    dtAdmin_->setColumnHeading(kAdminName, QStringLiteral("Account Name"));
    dtAdmin_->fitColumnsToHeadings();
}

// Ticking one kind clears the other (whose handler runs too) and shows the kind's columns;
// clearing a box by hand shows the other kind's rows in the columns as they are.
void frmConfigure::chkAuthors_Click(bool ticked) {
    becomeActiveForm();
    if (ticked)
        chkRobot_->setChecked(false);
    if (core::gOptions)
        core::gOptions->AdminControl = ticked;
    if (ticked)
        showAuthorsView();
    LoadAdminGrid();
}

void frmConfigure::chkRobot_Click(bool ticked) {
    becomeActiveForm();
    if (ticked)
        chkAuthors_->setChecked(false);
    if (core::gOptions)
        core::gOptions->AdminControl = !ticked;
    if (ticked)
        showRobotsView();
    LoadAdminGrid();
}

void frmConfigure::chkSubject_Click(bool ticked) {
    becomeActiveForm();
    if (ticked)
        chkBody_->setChecked(false);
    if (core::gOptions)
        core::gOptions->Messages = ticked;
    LoadMessagesGrid();
}

void frmConfigure::chkBody_Click(bool ticked) {
    becomeActiveForm();
    if (ticked)
        chkSubject_->setChecked(false);
    if (core::gOptions)
        core::gOptions->Messages = !ticked;
    LoadMessagesGrid();
}

// --- the grids

void frmConfigure::keepNameBeforeEdit(EditGrid* grid, int row, int column) {
    if (column == 0 && core::gOptions)
        core::gOptions->BeforeEditValue = grid->cellText(row, 0);
}

void frmConfigure::dtAdmin_Change(int row, int column) {
    becomeActiveForm();
    SaveAdminGridCell(row, column);
}

void frmConfigure::dtFolderNames_Change(int row, int column) {
    becomeActiveForm();
    SaveFolderNameCell(row, column);
}

void frmConfigure::dtUsersData_Change(int row, int column) {
    becomeActiveForm();
    SaveUsersDataCell(row, column);
}

void frmConfigure::dtMsgs_Change(int row, int column) {
    becomeActiveForm();
    SaveMessageCell(row, column);
}

void frmConfigure::cmdAddAdmin_Click() {
    becomeActiveForm();
    AddGridRow(*dtAdmin_, adminGridKind());
}

void frmConfigure::cmdDeleteAdmin_Click() {
    becomeActiveForm();
    DeleteGridRow(*dtAdmin_, adminGridKind());
}

void frmConfigure::cmdAddDept_Click() {
    becomeActiveForm();
    AddGridRow(*dtFolderNames_, folderNamesGridKind());
}

void frmConfigure::cmdDelFolderNames_Click() {
    becomeActiveForm();
    DeleteGridRow(*dtFolderNames_, folderNamesGridKind());
}

void frmConfigure::cmdAddUsers_Click() {
    becomeActiveForm();
    AddGridRow(*dtUsersData_, usersDataGridKind());
}

void frmConfigure::cmdDelUsers_Click() {
    becomeActiveForm();
    DeleteGridRow(*dtUsersData_, usersDataGridKind());
}

void frmConfigure::cmdAddMsg_Click() {
    becomeActiveForm();
    AddGridRow(*dtMsgs_, messagesGridKind());
}

void frmConfigure::cmdDelMsg_Click() {
    becomeActiveForm();
    DeleteGridRow(*dtMsgs_, messagesGridKind());
}

// --- the buttons below the tabs

void frmConfigure::cmdOK_Click() {
    if (CheckAdminDefaults(0) == 1) {
        platform::ui::msgBox(kDefaultAuthorText, platform::ui::Buttons::Ok, core::appTitle());
        return;
    }
    close();
}

void frmConfigure::cmdCancel_Click() {
    close();
}

void frmConfigure::cmdHelp_Click() {
    platform::ui::showHelpPage(kFormName);
}

void frmConfigure::cmdGetLists_Click() {
    platform::ui::openWindow(QStringLiteral("frmAddAddress"));
}

} // namespace admin
