// See frmSA.h.
#include "admin/frmSA.h"

#include "admin/NetworkSettings.h"
#include "admin/WindowParts.h"
#include "core/AppTitle.h"
#include "core/cOptions.h"
#include "platform/ui/Ui.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace admin {

frmSA::frmSA()
    : QWidget(nullptr, Qt::Window) {
    setObjectName(kFormName);
    setWindowTitle(QStringLiteral("Create Super-Admin"));
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();
    Form_Load();
}

void frmSA::buildControls() {
    auto* grid = new QGridLayout(this);
    QLabel* intro = parts::label(this, QStringLiteral("Label1"), kIntroText);
    intro->setWordWrap(true);
    intro->setMinimumWidth(480);
    grid->addWidget(intro, 0, 0, 1, 2);

    tbxLocation_ = parts::textBox(this, QStringLiteral("tbxLocation"));
    tbxLocation_->setReadOnly(true);
    tbxDBPwd_ = parts::passwordBox(this, QStringLiteral("tbxDBPwd"));
    tbxDBPwd_->setReadOnly(true);
    tbxUserAdminName_ = parts::textBox(this, QStringLiteral("tbxUserAdminName"));
    password_ = parts::passwordBox(this, QStringLiteral("tbxUserAdminPwd(0)"));
    confirmation_ = parts::passwordBox(this, QStringLiteral("tbxUserAdminPwd(1)"));
    tbxEmail_ = parts::textBox(this, QStringLiteral("tbxEmail"));
    const std::pair<const char*, QLineEdit*> rows[] = {
        {"New Database", tbxLocation_},         {"Database Password", tbxDBPwd_},
        {"Your Logon Name", tbxUserAdminName_}, {"Your Logon Password", password_},
        {"Confirm Password", confirmation_},    {"E-mail", tbxEmail_},
    };
    int row = 1;
    for (const auto& [caption, box] : rows) {
        grid->addWidget(
            parts::label(this, QStringLiteral("lbl") + box->objectName(), QString::fromLatin1(caption)), row,
            0);
        grid->addWidget(box, row++, 1);
    }
    cmdOK_ = parts::button(this, QStringLiteral("cmdOK"), QStringLiteral("&OK"));
    cmdOK_->setDefault(true);
    cmdCancel_ = parts::button(this, QStringLiteral("cmdCancel"), QStringLiteral("Cancel"));
    grid->addLayout(parts::buttonRow({cmdOK_, cmdCancel_}), row, 0, 1, 2);

    connect(cmdOK_, &QPushButton::clicked, this, [] { core::gOptions->SetPwd = true; });
    connect(cmdCancel_, &QPushButton::clicked, this, [] { core::gOptions->CancelPwd = true; });
}

void frmSA::Form_Load() {
    const QString path = net::read(net::kLumiNetPath);
    tbxLocation_->setText(path);
    tbxLocation_->setCursorPosition(0);
    tbxLocation_->setToolTip(path);
    tbxDBPwd_->setText(net::databasePassword());
    QString problem;
    if (path.isEmpty())
        problem = QStringLiteral("The network database has not been created.  Run 'Make network database'.");
    else if (net::read(net::kLumiNetPwd).isEmpty())
        problem = QStringLiteral(
            "An attempt to 'Make network database' did not complete.  Run 'Make network database again'.");
    if (!problem.isEmpty())
        platform::ui::msgBox(problem, platform::ui::Buttons::Ok, core::appTitle());
}

void frmSA::closeEvent(QCloseEvent* event) {
    if (!core::gOptions->SetPwd)
        core::gOptions->CancelPwd = true;
    event->accept();
}

} // namespace admin
