// See frmLogon.h.
#include "admin/frmLogon.h"

#include "admin/NetworkLogon.h"
#include "admin/NetworkSettings.h"
#include "admin/WindowParts.h"
#include "core/AppTitle.h"
#include "core/StringScrambling.h"
#include "core/SystemOps.h"
#include "core/cConnection.h"
#include "core/cOptions.h"
#include "platform/ui/ComboList.h"
#include "platform/ui/Ui.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace admin {

namespace {

const QString kBrowseTitle = QStringLiteral("Logon network database (Lumivane)");

core::cOptions& options() {
    return *core::gOptions;
}

} // namespace

frmLogon::frmLogon()
    : QWidget(nullptr, Qt::Window) {
    setObjectName(kFormName);
    setWindowTitle(QStringLiteral("LumiNet Logon"));
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();
    Form_Load();
}

void frmLogon::buildControls() {
    auto* grid = new QGridLayout(this);
    grid->addWidget(parts::label(this, QStringLiteral("Label1"), QStringLiteral("Select Database")), 0, 0);
    cbxLocation_ = new platform::ui::ComboList(this);
    cbxLocation_->setObjectName(QStringLiteral("cbxLocation"));
    cbxLocation_->setMinimumWidth(440);
    grid->addWidget(cbxLocation_, 0, 1);
    cmdBrowse_ = parts::button(this, QStringLiteral("cmdBrowse"), QStringLiteral("Browse"));
    grid->addWidget(cmdBrowse_, 0, 2);

    tbxDBPwd_ = parts::passwordBox(this, QStringLiteral("tbxDBPwd"));
    tbxUserAdminName_ = parts::textBox(this, QStringLiteral("tbxUserAdminName"));
    tbxUserAdminPwd_ = parts::passwordBox(this, QStringLiteral("tbxUserAdminPwd"));
    const std::tuple<const char*, const char*, QLineEdit*> rows[] = {
        {"lblDBPwd", "Database Password", tbxDBPwd_},
        {"lblUserAdmin", "Lumi_User-Admin Name", tbxUserAdminName_},
        {"lblUserAdminPwd", "Lumi_User-Admin Pwd", tbxUserAdminPwd_},
    };
    int row = 1;
    for (const auto& [name, caption, box] : rows) {
        grid->addWidget(parts::label(this, QString::fromLatin1(name), QString::fromLatin1(caption)), row, 0);
        grid->addWidget(box, row++, 1);
    }

    cmdOK_ = parts::button(this, QStringLiteral("cmdOK"), QStringLiteral("&OK"));
    cmdOK_->setDefault(true);
    cmdCancel_ = parts::button(this, QStringLiteral("cmdCancel"), QStringLiteral("Cancel"));
    grid->addLayout(parts::buttonRow({cmdOK_, cmdCancel_}), row, 0, 1, 3);

    connect(cmdBrowse_, &QPushButton::clicked, this, &frmLogon::cmdBrowse_Click);
    connect(cmdOK_, &QPushButton::clicked, this, &frmLogon::cmdOK_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &frmLogon::cmdCancel_Click);
}

void frmLogon::Form_Load() {
    cbxLocation_->setText(net::read(net::kLumiNetPath));
    tbxDBPwd_->setText(net::databasePassword());
    tbxUserAdminName_->setText(net::read(net::kAdminUserName));
    tbxUserAdminPwd_->clear();
}

void frmLogon::cmdBrowse_Click() {
    const auto chosen = parts::chooseMasterDatabase(kBrowseTitle, QStringLiteral("Logon to this database?"),
                                                    cbxLocation_->text(), false);
    if (!chosen)
        return;
    net::write(net::kLumiNetPath, *chosen);
    cbxLocation_->setText(*chosen);
}

void frmLogon::cmdOK_Click() {
    core::cOptions& opts = options();
    opts.SetPwd = true;
    core::SetBusyPointer(11);
    busy_ = true;
    bool accepted = false;
    if (opts.LoggingOn) {
        // A path typed into the box is the one tested, not the one of the last logon.
        net::write(net::kLumiNetPath, cbxLocation_->text().trimmed());
        const LogonEntry entry{tbxDBPwd_->text(), tbxUserAdminName_->text(), tbxUserAdminPwd_->text()};
        if (!entry.databasePassword.isEmpty() && !entry.name.isEmpty() && !entry.password.isEmpty() &&
            TestNetworkConnection(entry)) {
            accepted = LogonNetworkAdminUser(entry);
            // A refused account leaves the program on the local database, as it was before.
            if (!accepted)
                core::gCnn->LocalCnn();
        }
    }
    if (accepted) {
        opts.LoggedOn = true;
        opts.LoggedOff = false;
        opts.LoggingOn = false;
        opts.LoggingOff = false;
        close(); // closing lowers the busy pointer
        return;
    }
    opts.SetPwd = false;
    core::SetBusyPointer(0);
    busy_ = false;
}

void frmLogon::cmdCancel_Click() {
    options().CancelPwd = true;
    if (options().LoggingOn)
        close();
}

void frmLogon::closeEvent(QCloseEvent* event) {
    net::write(net::kLumiNetPath, cbxLocation_->text().trimmed());
    core::cOptions& opts = options();
    // Closed by its close box: the waiting caller takes it as Cancel.
    if (!opts.SetPwd)
        opts.CancelPwd = true;
    if (busy_)
        core::SetBusyPointer(0);
    busy_ = false;
    event->accept();
}

} // namespace admin
