// See frmMail.h.
#include "mail/frmMail.h"

#include "core/cOptions.h"
#include "mail/MailContext.h"
#include "mail/SendMail.h"
#include "platform/ui/HelpViewer.h"
#include "platform/ui/NamedControls.h"
#include "platform/ui/WindowPlace.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace mail {

namespace {

QPointer<frmMail> gLoaded;

} // namespace

frmMail::frmMail(QWidget* owner)
    : QWidget(owner, owner ? Qt::Window : Qt::WindowFlags()) {
    setObjectName(kFormName);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("SendMail Configuration"));
    buildControls();
    gLoaded = this;
    Form_Load();
}

frmMail::~frmMail() {
    Form_Unload();
}

frmMail* frmMail::loaded() {
    return gLoaded;
}

void frmMail::buildControls() {
    panel_ = new SendMailPanel(SendMailPanel::Edition::Desktop, this);
    cmdSendMail_ = platform::ui::namedControl<QPushButton>(this, QStringLiteral("cmdSendMail"),
                                                           QStringLiteral("SendMail"));
    cmdDueDateDone_ = platform::ui::namedControl<QPushButton>(this, QStringLiteral("cmdDueDateDone"),
                                                              QStringLiteral("Close"));
    cmdHelp_ =
        platform::ui::namedControl<QPushButton>(this, QStringLiteral("cmdHelp"), QStringLiteral("Help"));
    connect(cmdSendMail_, &QPushButton::clicked, this, &frmMail::cmdSendMail_Click);
    connect(cmdDueDateDone_, &QPushButton::clicked, this, &frmMail::cmdDueDateDone_Click);
    connect(cmdHelp_, &QPushButton::clicked, this, &frmMail::cmdHelp_Click);

    auto* buttons = new QVBoxLayout;
    for (QPushButton* push : {cmdSendMail_, cmdDueDateDone_, cmdHelp_})
        buttons->addWidget(push);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(panel_, 1);
    layout->addLayout(buttons);
}

void frmMail::Form_Load() {
    if (core::gOptions)
        core::gOptions->ActiveForm = this;
    platform::ui::placeOnOwner(*this, QRect(0, 0, kWidthTwips, kHeightTwips));
    panel_->chkAddDueDate()->setChecked(runtimeFlag(QStringLiteral("AddDueDate")));
    panel_->chkAddFN()->setChecked(runtimeFlag(QStringLiteral("AddFN")));
    panel_->chkDueDateAll()->setChecked(runtimeFlag(QStringLiteral("SetDueDateAll")));
    panel_->FillSendMailGrid();
    panel_->FillMailLists();
}

void frmMail::Form_Unload() {
    if (unloaded_)
        return;
    unloaded_ = true;
    auto value = [](const QCheckBox* box) {
        return box->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    };
    writeRuntimeSetting(QStringLiteral("AddDueDate"), value(panel_->chkAddDueDate()));
    writeRuntimeSetting(QStringLiteral("AddFN"), value(panel_->chkAddFN()));
    writeRuntimeSetting(QStringLiteral("SetDueDateAll"), value(panel_->chkDueDateAll()));
    if (core::gOptions && core::gOptions->ActiveForm == this)
        core::gOptions->ActiveForm = nullptr;
    // Unloaded: no longer found by its form name, even before it is destroyed.
    setObjectName(QString());
    if (gLoaded == this)
        gLoaded = nullptr;
}

void frmMail::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void frmMail::cmdSendMail_Click() {
    SendMailToAll(*panel_);
}

void frmMail::cmdDueDateDone_Click() {
    close();
}

void frmMail::cmdHelp_Click() {
    platform::ui::showHelpPage(kFormName);
}

} // namespace mail
