// See frmPwd.h.
#include "admin/frmPwd.h"

#include "admin/WindowParts.h"
#include "core/cOptions.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace admin {

frmPwd::frmPwd()
    : QWidget(nullptr, Qt::Window) {
    setObjectName(kFormName);
    setAttribute(Qt::WA_DeleteOnClose);
    auto* grid = new QGridLayout(this);
    password_ = parts::passwordBox(this, QStringLiteral("tbxPwd(0)"));
    confirmation_ = parts::passwordBox(this, QStringLiteral("tbxPwd(1)"));
    grid->addWidget(parts::label(this, QStringLiteral("lblPwd"), QStringLiteral("Password")), 0, 0);
    grid->addWidget(password_, 0, 1);
    grid->addWidget(parts::label(this, QStringLiteral("lblConfirm"), QStringLiteral("Confirm Pwd")), 1, 0);
    grid->addWidget(confirmation_, 1, 1);
    cmdSet_ = parts::button(this, QStringLiteral("cmdSet"), QStringLiteral("Set"));
    cmdSet_->setDefault(true);
    cmdCancelOps_ = parts::button(this, QStringLiteral("cmdCancelOps"), QStringLiteral("Cancel"));
    grid->addLayout(parts::buttonRow({cmdSet_, cmdCancelOps_}), 2, 0, 1, 2);
    password_->setMinimumWidth(220);

    connect(cmdSet_, &QPushButton::clicked, this, [] { core::gOptions->SetPwd = true; });
    connect(cmdCancelOps_, &QPushButton::clicked, this, [] { core::gOptions->CancelPwd = true; });
}

void frmPwd::Display(const QString& mode) {
    setWindowTitle(mode == QStringLiteral("Net") ? QStringLiteral("Set network database password")
                                                 : QStringLiteral("Change password."));
    show();
    raise();
    activateWindow();
}

void frmPwd::closeEvent(QCloseEvent* event) {
    // Closed by its close box while its caller waits: that is Cancel.
    if (!core::gOptions->SetPwd)
        core::gOptions->CancelPwd = true;
    event->accept();
}

} // namespace admin
