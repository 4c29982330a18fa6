// See frmSuperAdmin.h.
#include "admin/frmSuperAdmin.h"

#include "admin/AdministratorAccounts.h"
#include "admin/BudgetPermissions.h"
#include "admin/NetworkDatabase.h"
#include "admin/NetworkSettings.h"
#include "admin/SuperAdminProfile.h"
#include "admin/WindowParts.h"
#include "core/AppTitle.h"
#include "core/DatabaseUpkeep.h"
#include "core/ErrorMessage.h"
#include "core/FormUnload.h"
#include "core/RunGuard.h"
#include "core/SharedDatabase.h"
#include "core/StringScrambling.h"
#include "core/cConnection.h"
#include "core/cOptions.h"
#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "platform/db/Presence.h"
#include "platform/db/Recordset.h"
#include "platform/db/SqlText.h"
#include "platform/sys/SettingText.h"
#include "platform/sys/SettingsStore.h"
#include "platform/ui/EditGrid.h"
#include "platform/ui/Ui.h"
#include "platform/ui/WindowPlace.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace admin {

using core::DecodeString;
using core::EncodeString;

namespace {

using platform::db::Connection;
using platform::db::DbError;

const QString kEncoding = QStringLiteral("Encoding");
const QString kCopyPerm = QStringLiteral("CopyPerm");
const QString kViewAll = QStringLiteral("ViewAll");
const QString kViewContext = QStringLiteral("ViewContext");

// A check box stored as "1"/"0", read as a whole number.
bool readBox(const QString& key) {
    return platform::sys::textToInt(net::read(key).isEmpty() ? QStringLiteral("0") : net::read(key))
               .value_or(0) != 0;
}
// An option button stored as "True"/"False", read as a truth value.
bool readOption(const QString& key, bool absent) {
    const QString text = net::read(key);
    return text.isEmpty() ? absent : platform::sys::textToBool(text).value_or(absent);
}

void tell(const QString& text) {
    platform::ui::msgBox(text, platform::ui::Buttons::Ok, core::appTitle());
}

// The logged-on administrator's account row (found by the logon name, ignoring case) and the
// super-administrator identifier built from its user identifier and a database password.
struct SuperAdminIdentifier {
    QString name; // as the row has it
    QString scrambled;
};

std::optional<SuperAdminIdentifier> superAdminIdentifier(const QString& databasePassword) {
    Connection db;
    db.open(core::gCnn->LumiCnn());
    platform::db::Recordset account = platform::db::Recordset::open(
        db,
        QStringLiteral(
            "SELECT AdminUser_Name, AdminUser_ID FROM AdminUsers WHERE AdminUser_Name = ? COLLATE %1")
            .arg(platform::db::kNoCaseCollation),
        {core::gOptions->LumiAdminUserName});
    if (account.recordCount() != 1)
        return std::nullopt;
    return SuperAdminIdentifier{
        account.value(QStringLiteral("AdminUser_Name")).toString(),
        EncodeString(databasePassword +
                     DecodeString(account.value(QStringLiteral("AdminUser_ID")).toString()))};
}

QList<Connection::Statement> storeIdentifier(const SuperAdminIdentifier& identifier) {
    return {{QStringLiteral("UPDATE AdminUsers SET SuperAdminUser_ID = ? WHERE AdminUser_Name = ?"),
             {identifier.scrambled, identifier.name}}};
}

void rememberIdentifier(const QString& scrambled) {
    net::write(net::kLumiSAID, scrambled);
    core::gOptions->LumiSAID = scrambled;
}

// The identifier built again from the database password now in use and written at once (a
// password change that did not happen leaves the same value, scrambled anew).
void rebuildSuperAdminIdentifier() {
    const std::optional<SuperAdminIdentifier> identifier = superAdminIdentifier(net::databasePassword());
    if (!identifier)
        return;
    Connection db;
    db.open(core::gCnn->LumiCnn());
    const Connection::Statement update = storeIdentifier(*identifier).first();
    db.execute(update.sql, update.params);
    rememberIdentifier(identifier->scrambled);
}

} // namespace

frmSuperAdmin::frmSuperAdmin(QWidget* owner)
    : QWidget(owner, Qt::Window) {
    setObjectName(kFormName);
    setWindowTitle(QStringLiteral("Super-Admin Configure"));
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();
    Form_Load();
}

QWidget* frmSuperAdmin::buildNetworkTab() {
    auto* tab = new QWidget;
    auto* grid = new QGridLayout(tab);
    grid->addWidget(parts::label(tab, QStringLiteral("lblLocation"), QStringLiteral("Database Path")), 0, 0);
    tbxLocation_ = parts::textBox(tab, QStringLiteral("tbxLocation"));
    tbxLocation_->setToolTip(QStringLiteral("Location of the network database"));
    tbxLocation_->setReadOnly(true);
    grid->addWidget(tbxLocation_, 0, 1);
    cmdLocation_ = parts::button(tab, QStringLiteral("cmdLocation"), QStringLiteral("Move"));
    grid->addWidget(cmdLocation_, 0, 2);
    grid->addWidget(parts::label(tab, QStringLiteral("lblSuperPwd"), QStringLiteral("Database Password")), 1,
                    0);
    cmdChangePwd_ = parts::button(tab, QStringLiteral("cmdChangePwd"), QStringLiteral("Change"));
    grid->addWidget(cmdChangePwd_, 1, 1, Qt::AlignLeft);

    auto* migration = new QGroupBox(QStringLiteral("Budget Migration"), tab);
    migration->setObjectName(QStringLiteral("fmeMigration"));
    chkCopyPerm_ = new QCheckBox(QStringLiteral("Require permission to copy"), migration);
    chkCopyPerm_->setObjectName(QStringLiteral("chkCopyPerm"));
    (new QVBoxLayout(migration))->addWidget(chkCopyPerm_);
    auto* views = new QGroupBox(QStringLiteral("Database views"), tab);
    views->setObjectName(QStringLiteral("fmeDBControls"));
    optAll_ = new QRadioButton(QStringLiteral("All data"), views);
    optAll_->setObjectName(QStringLiteral("optAll"));
    optAll_->setChecked(true);
    optBudgets_ = new QRadioButton(QStringLiteral("Context Only"), views);
    optBudgets_->setObjectName(QStringLiteral("optBudgets"));
    auto* viewLayout = new QVBoxLayout(views);
    viewLayout->addWidget(optAll_);
    viewLayout->addWidget(optBudgets_);
    auto* frames = new QHBoxLayout;
    frames->addWidget(migration);
    frames->addWidget(views);
    grid->addLayout(frames, 2, 0, 1, 3);
    chkEncoding_ = new QCheckBox(QStringLiteral("Show Encoding"), tab);
    chkEncoding_->setObjectName(QStringLiteral("chkEncoding"));
    grid->addWidget(chkEncoding_, 3, 0, 1, 3);
    grid->setRowStretch(4, 1);
    grid->setColumnStretch(1, 1);

    connect(cmdLocation_, &QPushButton::clicked, this, &frmSuperAdmin::cmdLocation_Click);
    connect(cmdChangePwd_, &QPushButton::clicked, this, &frmSuperAdmin::cmdChangePwd_Click);
    connect(chkCopyPerm_, &QCheckBox::clicked, this, &frmSuperAdmin::chkCopyPerm_Click);
    connect(optAll_, &QRadioButton::clicked, this, [this] { optView_Click(false); });
    connect(optBudgets_, &QRadioButton::clicked, this, [this] { optView_Click(true); });
    connect(chkEncoding_, &QCheckBox::clicked, this, &frmSuperAdmin::chkEncoding_Click);
    return tab;
}

QWidget* frmSuperAdmin::buildUsersTab() {
    auto* tab = new QWidget;
    auto* layout = new QVBoxLayout(tab);
    dtAdminUsers_ = new platform::ui::EditGrid(tab);
    dtAdminUsers_->setObjectName(QStringLiteral("dtAdminUsers"));
    layout->addWidget(dtAdminUsers_, 1);
    cmdAddAU_ = parts::button(tab, QStringLiteral("cmdAddAU"), QStringLiteral("Add"));
    cmdDelAU_ = parts::button(tab, QStringLiteral("cmdDelAU"), QStringLiteral("Delete"));
    auto* row = new QHBoxLayout;
    QLabel* record = parts::label(tab, QStringLiteral("lblRecordAU"), QStringLiteral("Record"));
    dtAdminUsers_->setRecordCounter(record, QStringLiteral("Record "));
    row->addWidget(record);
    row->addStretch(1);
    row->addWidget(cmdAddAU_);
    row->addWidget(cmdDelAU_);
    layout->addLayout(row);

    connect(cmdAddAU_, &QPushButton::clicked, this, &frmSuperAdmin::cmdAddAU_Click);
    connect(cmdDelAU_, &QPushButton::clicked, this, &frmSuperAdmin::cmdDelAU_Click);
    // A completed edit stores the row (after the cell's editor has closed, so the store may fill
    // the grid again).
    dtAdminUsers_->setChangeProcedure([this](int r, int c) {
        if (c == kAccountPassword)
            typedPasswords_.insert(r);
        dtAdminUsers_Change(r, c);
    });
    connect(dtAdminUsers_, &platform::ui::DataGrid::cellDoubleClicked, this,
            [this](int r, int c, platform::ui::ClickArea area) {
                if (area == platform::ui::ClickArea::Cell)
                    dtAdminUsers_DblClick(r, c);
            });
    return tab;
}

QWidget* frmSuperAdmin::buildPermissionsTab() {
    auto* tab = new QWidget;
    auto* layout = new QVBoxLayout(tab);
    dtBudgets_ = new platform::ui::EditGrid(tab);
    dtBudgets_->setObjectName(QStringLiteral("dtBudgets"));
    dtBudgets_->setToolTip(
        QStringLiteral("Double click a cell to grant the budget, press Delete to remove the "
                       "grant."));
    dtBudgets_->view()->installEventFilter(this);
    layout->addWidget(dtBudgets_, 1);
    cmdGrant_ = parts::button(tab, QStringLiteral("cmdGrant"), QStringLiteral("Grant"));
    cmdRemove_ = parts::button(tab, QStringLiteral("cmdRemove"), QStringLiteral("Remove"));
    auto* row = new QHBoxLayout;
    QLabel* record = parts::label(tab, QStringLiteral("lblRecordBudgets"), QStringLiteral("Record"));
    dtBudgets_->setRecordCounter(record, QStringLiteral("Record "));
    row->addWidget(record);
    row->addStretch(1);
    row->addWidget(cmdGrant_);
    row->addWidget(cmdRemove_);
    layout->addLayout(row);

    connect(cmdGrant_, &QPushButton::clicked, this, &frmSuperAdmin::cmdGrant_Click);
    connect(cmdRemove_, &QPushButton::clicked, this, &frmSuperAdmin::cmdRemove_Click);
    connect(dtBudgets_, &platform::ui::DataGrid::cellDoubleClicked, this,
            [this](int r, int c, platform::ui::ClickArea area) {
                if (area == platform::ui::ClickArea::Cell)
                    dtBudgets_DblClick(r, c);
            });
    return tab;
}

void frmSuperAdmin::buildControls() {
    auto* layout = new QVBoxLayout(this);
    SSTab1_ = new QTabWidget(this);
    SSTab1_->setObjectName(QStringLiteral("SSTab1"));
    SSTab1_->addTab(buildNetworkTab(), QStringLiteral("Network Database"));
    SSTab1_->addTab(buildUsersTab(), QStringLiteral("Database Users"));
    SSTab1_->addTab(buildPermissionsTab(), QStringLiteral("Budget Permissions"));
    layout->addWidget(SSTab1_, 1);
    cmdOK_ = parts::button(this, QStringLiteral("cmdOK"), QStringLiteral("OK"));
    cmdOK_->setToolTip(QStringLiteral("Click to store data"));
    cmdCancel_ = parts::button(this, QStringLiteral("cmdCancel"), QStringLiteral("Cancel"));
    cmdCancel_->setToolTip(QStringLiteral("Click to cancel the operation."));
    layout->addLayout(parts::buttonRow({cmdOK_, cmdCancel_}));
    connect(cmdOK_, &QPushButton::clicked, this, &QWidget::close);
    connect(cmdCancel_, &QPushButton::clicked, this, &QWidget::close);
}

void frmSuperAdmin::Form_Load() {
    platform::ui::placeOnOwner(*this, QRect(0, 0, kWidthTwips, kHeightTwips));
    tbxLocation_->setText(core::gCnn->LumiCnnPath());
    // Stored values that differ from the design state run their click handling.
    if (readBox(kEncoding)) {
        chkEncoding_->setChecked(true);
        chkEncoding_Click();
    }
    if (readBox(kCopyPerm)) {
        chkCopyPerm_->setChecked(true);
        chkCopyPerm_Click();
    }
    if (readOption(kViewContext, false) || !readOption(kViewAll, true)) {
        optBudgets_->setChecked(readOption(kViewContext, false));
        if (optBudgets_->isChecked())
            optView_Click(true);
    }
    if (core::gOptions->SAAuth) {
        fillPermissions();
        FillAdminUsersGrid(*dtAdminUsers_, false, -1);
        typedPasswords_.clear();
    }
}

void frmSuperAdmin::closeEvent(QCloseEvent* event) {
    net::write(kEncoding, chkEncoding_->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    net::write(kCopyPerm, chkCopyPerm_->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    net::write(kViewAll, platform::sys::boolToText(optAll_->isChecked()));
    net::write(kViewContext, platform::sys::boolToText(optBudgets_->isChecked()));
    event->accept();
}

bool frmSuperAdmin::eventFilter(QObject* watched, QEvent* event) {
    if (watched == dtBudgets_->view() && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        dtBudgets_Revoke(dtBudgets_->currentRow(), dtBudgets_->currentColumn());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

bool frmSuperAdmin::showEncoding() const {
    return chkEncoding_->isChecked();
}

void frmSuperAdmin::fillPermissions() {
    FillPermissionsGrid(*dtBudgets_, showEncoding());
}

// --- Network Database tab -----------------------------------------------------------------

QString frmSuperAdmin::MoveDatabase(const QString& currentPath) {
    try {
        const auto chosen =
            parts::chooseMasterDatabase(QStringLiteral("Move network database"),
                                        QStringLiteral("Move database here?"), currentPath, true);
        if (!chosen)
            return {};
        if (parts::FolderHoldsMasterDatabase(QFileInfo(*chosen).absolutePath())) {
            tell(QStringLiteral("A Lumivane network database exists at this location."));
            return {};
        }
        {
            Connection db;
            db.open(core::gCnn->LumiCnn());
            db.backupTo(*chosen);
        }
        QFile::setPermissions(*chosen, QFile::permissions(currentPath));
        if (!core::IsMasterDatabase(*chosen, net::databasePassword())) {
            QFile::remove(*chosen);
            throw DbError(
                DbError::kCorrupt,
                QStringLiteral("The copy at '%1' does not open with the database password; the database "
                               "stays where it was.")
                    .arg(*chosen));
        }
        return *chosen;
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error, core::appTitle());
        return {};
    }
}

void frmSuperAdmin::cmdLocation_Click() {
    if (core::RunGuard::refuseDuringRun(core::appTitle()))
        return;
    const auto ownUse = core::TakeMasterDatabaseForOwnUse(QStringLiteral("The database can't be moved"));
    if (!ownUse)
        return;
    const QString old = core::gCnn->LumiCnnPath();
    const QString moved = MoveDatabase(old);
    if (moved.isEmpty())
        return;
    // The windows that show the database would go on reading the old file.
    core::UnloadForm(QStringLiteral("frmDataTable"));
    core::UnloadForm(QStringLiteral("frmWizard"));
    try {
        core::ReleaseSharedConnections();
        core::gCnn->setLumiCnnPath(moved);
        net::write(net::kLumiNetPath, moved);
        core::gCnn->NetCnn();
        net::write(net::kLumiNetConn, net::netConnectionText(moved));
        tbxLocation_->setText(moved);
        Connection::releaseIdleHandles(old);
        if (!QFile::remove(old))
            throw DbError(DbError::kCannotOpen,
                          QStringLiteral("The database now works at '%1', but its old file '%2' could not be "
                                         "removed.")
                              .arg(moved, old));
        QFile::remove(platform::db::PresenceHold::presencePath(old));
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error, core::appTitle());
    }
}

// The new password and the super-administrator identifier built with it go into the file
// together, under the one hold of the change: a failure leaves both as they were, so the
// super-administrator can always log on to the console.
void frmSuperAdmin::cmdChangePwd_Click() {
    if (core::RunGuard::refuseDuringRun(core::appTitle()))
        return;
    core::UnloadForm(QStringLiteral("frmDataTable"));
    core::UnloadForm(QStringLiteral("frmWizard"));
    try {
        const QString path = core::gCnn->LumiCnnPath();
        std::optional<SuperAdminIdentifier> identifier;
        const bool changed = SetDatabasePassword(
            path, net::databasePassword(), DecodeString(core::gOptions->LumiAUID).size(),
            [&identifier](const QString& newPassword) {
                identifier = superAdminIdentifier(newPassword);
                return identifier ? storeIdentifier(*identifier) : QList<Connection::Statement>();
            });
        core::gCnn->NetCnn();
        net::write(net::kLumiNetConn, net::netConnectionText(path));
        if (!changed)
            rebuildSuperAdminIdentifier();
        else if (identifier)
            rememberIdentifier(identifier->scrambled);
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error, core::appTitle());
    }
}

void frmSuperAdmin::chkCopyPerm_Click() {
    StoreCopyPermission(chkCopyPerm_->isChecked());
}

void frmSuperAdmin::optView_Click(bool contextOnly) {
    if ((contextOnly ? optBudgets_ : optAll_)->isChecked())
        StoreViewMode(contextOnly);
}

void frmSuperAdmin::chkEncoding_Click() {
    FillAdminUsersGrid(*dtAdminUsers_, false, -1);
    typedPasswords_.clear();
    fillPermissions();
}

// --- Database Users tab -------------------------------------------------------------------

void frmSuperAdmin::cmdAddAU_Click() {
    AddAdminUserRow(*dtAdminUsers_);
}

void frmSuperAdmin::cmdDelAU_Click() {
    DeleteAdminUserRow({*dtAdminUsers_, typedPasswords_, [this] { fillPermissions(); }});
}

void frmSuperAdmin::dtAdminUsers_Change(int row, int column) {
    Q_UNUSED(column);
    StoreAdminUserRow({*dtAdminUsers_, typedPasswords_, [this] { fillPermissions(); }}, row);
}

void frmSuperAdmin::dtAdminUsers_DblClick(int row, int column) {
    if (column != kAccountPassword)
        return;
    typedPasswords_.clear();
    RevealPassword(*dtAdminUsers_, row, column);
}

// --- Budget Permissions tab ---------------------------------------------------------------

void frmSuperAdmin::dtBudgets_DblClick(int row, int column) {
    GrantBudgetPermission(*dtBudgets_, row, column, showEncoding());
}

void frmSuperAdmin::dtBudgets_Revoke(int row, int column) {
    RevokeBudgetPermission(*dtBudgets_, row, column);
}

void frmSuperAdmin::cmdGrant_Click() {
    GrantBudgetPermission(*dtBudgets_, dtBudgets_->currentRow(), dtBudgets_->currentColumn(), showEncoding());
}

void frmSuperAdmin::cmdRemove_Click() {
    RevokeBudgetPermission(*dtBudgets_, dtBudgets_->currentRow(), dtBudgets_->currentColumn());
}

} // namespace admin
