// See frmMigrate.h.
#include "admin/frmMigrate.h"

#include "admin/BudgetMigration.h"
#include "admin/WindowParts.h"
#include "core/AppTitle.h"
#include "core/ErrorMessage.h"
#include "core/RunGuard.h"
#include "core/cConnection.h"
#include "core/cFolderPath.h"
#include "platform/db/Connection.h"
#include "platform/db/ConnectionString.h"
#include "platform/db/Recordset.h"
#include "platform/ui/ListBox.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace admin {

namespace {

QString localMasterConnection() {
    platform::db::ConnectionString cs;
    cs.set(platform::db::ConnectionString::kProvider, core::cConnection::kProvider);
    cs.set(platform::db::ConnectionString::kDataSource,
           core::cFolderPath().GetCommonFilesFolderPath() + QLatin1Char('/') +
               core::cConnection::kDataFolderName + QLatin1Char('/') + core::cConnection::kMasterFileName);
    return cs.toString();
}

platform::ui::ListBox* budgetList(QWidget* parent, const QString& name, const QString& heading) {
    auto* list = new platform::ui::ListBox(parent);
    list->setObjectName(name);
    list->setColumnHeadings({heading, QStringLiteral("Budget Author")});
    list->setMinimumSize(300, 220);
    return list;
}

} // namespace

frmMigrate::frmMigrate(QWidget* owner)
    : QWidget(owner, Qt::Window) {
    setObjectName(kFormName);
    setWindowTitle(QStringLiteral("Migrate Budgets"));
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();
    Form_Load();
}

void frmMigrate::buildControls() {
    auto* layout = new QVBoxLayout(this);
    auto* lists = new QHBoxLayout;
    lbxLocalDB_ = budgetList(this, QStringLiteral("lbxLocalDB"), QStringLiteral("Local Database Budgets"));
    lbxNetDB_ = budgetList(this, QStringLiteral("lbxNetDB"), QStringLiteral("Network Database Budgets"));
    cmdToLocal_ = parts::button(this, QStringLiteral("cmdToLocal"), QStringLiteral("<"));
    cmdToNet_ = parts::button(this, QStringLiteral("cmdToNet"), QStringLiteral(">"));
    auto* arrows = new QVBoxLayout;
    arrows->addStretch(1);
    arrows->addWidget(cmdToNet_);
    arrows->addWidget(cmdToLocal_);
    arrows->addStretch(1);
    lists->addWidget(lbxLocalDB_, 1);
    lists->addLayout(arrows);
    lists->addWidget(lbxNetDB_, 1);
    layout->addLayout(lists, 1);

    auto* modes = new QGroupBox(this);
    modes->setObjectName(QStringLiteral("fmeMode"));
    optMove_ = new QRadioButton(QStringLiteral("Move"), modes);
    optMove_->setObjectName(QStringLiteral("optMove"));
    optCopy_ = new QRadioButton(QStringLiteral("Copy"), modes);
    optCopy_->setObjectName(QStringLiteral("optCopy"));
    optCopy_->setChecked(true);
    auto* modeLayout = new QHBoxLayout(modes);
    modeLayout->addWidget(optMove_);
    modeLayout->addWidget(optCopy_);
    cmdOK_ = parts::button(this, QStringLiteral("cmdOK"), QStringLiteral("OK"));
    cmdOK_->setToolTip(QStringLiteral("Click to store data"));
    cmdCancel_ = parts::button(this, QStringLiteral("cmdCancel"), QStringLiteral("Cancel"));
    cmdCancel_->setToolTip(QStringLiteral("Click to cancel the operation."));
    auto* bottom = parts::buttonRow({cmdOK_, cmdCancel_});
    bottom->insertWidget(0, modes);
    layout->addLayout(bottom);

    connect(lbxLocalDB_, &platform::ui::ListBox::entryClicked, this, [this] { lbxNetDB_->clearSelection(); });
    connect(lbxNetDB_, &platform::ui::ListBox::entryClicked, this, [this] { lbxLocalDB_->clearSelection(); });
    connect(cmdToLocal_, &QPushButton::clicked, this, &frmMigrate::cmdToLocal_Click);
    connect(cmdToNet_, &QPushButton::clicked, this, &frmMigrate::cmdToNet_Click);
    connect(cmdOK_, &QPushButton::clicked, this, &QWidget::close);
    connect(cmdCancel_, &QPushButton::clicked, this, &QWidget::close);
}

void frmMigrate::Form_Load() {
    localConnection_ = localMasterConnection();
    try {
        fillBoth();
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error, core::appTitle());
    }
}

void frmMigrate::fillBoth() {
    FillBudgetList(localConnection_, QStringLiteral("lbxLocalDB"));
    FillBudgetList(core::gCnn->LumiCnn(), QStringLiteral("lbxNetDB"));
    lbxLocalDB_->clearSelection();
    lbxNetDB_->clearSelection();
}

void frmMigrate::FillBudgetList(const QString& connectionString, const QString& listName) {
    platform::db::Connection cnn;
    cnn.open(connectionString);
    platform::db::Recordset rows =
        platform::db::Recordset::open(cnn, QStringLiteral("SELECT Budget_Name,Admin_Name FROM Budgets"));
    platform::ui::ListBox* list =
        listName.compare(QStringLiteral("lbxLocalDB"), Qt::CaseInsensitive) == 0 ? lbxLocalDB_ : lbxNetDB_;
    list->clearItems();
    for (; !rows.eof(); rows.moveNext())
        list->addEntry(rows.value(0).toString(), {rows.value(1).toString()});
}

void frmMigrate::cmdToLocal_Click() {
    migrateSelected(*lbxNetDB_, *lbxLocalDB_, &MigrateToLocal);
}

void frmMigrate::cmdToNet_Click() {
    migrateSelected(*lbxLocalDB_, *lbxNetDB_, &MigrateToNetwork);
}

// The budget selected in the source list goes across; nothing happens while the other list has
// a selection, or the source list none.
void frmMigrate::migrateSelected(platform::ui::ListBox& from, platform::ui::ListBox& to,
                                 Direction direction) {
    if (core::RunGuard::refuseDuringRun(core::appTitle()))
        return;
    const int selected = from.selectedEntry();
    if (to.selectedEntry() >= 0 || selected < 0)
        return;
    const MigrationMode mode = optMove_->isChecked() ? MigrationMode::Move : MigrationMode::Copy;
    if (direction(from.subItem(selected, 0), mode, localConnection_) == MigrationEnd::Finish)
        fillBoth();
}

} // namespace admin
