// See MailServices.h: the stand-ins for the mail subsystem until it is built.
#include "mail/MailServices.h"

#include "core/AppTitle.h"
#include "platform/ui/Ui.h"

namespace mail {

namespace {

void notAvailable(const QString& what) {
    platform::ui::msgBox(what + QStringLiteral(" is not available yet in this version of Lumidesk."),
                         platform::ui::Buttons::Ok, core::kAppTitle, platform::ui::Icon::Information);
}

} // namespace

bool ShowSendMail(QWidget* owner) {
    Q_UNUSED(owner);
    notAvailable(QStringLiteral("Sending mail"));
    return false;
}

void FillSendMailGrid() {
    notAvailable(QStringLiteral("The send-mail grid"));
}

void FillMailLists() {
    notAvailable(QStringLiteral("The send-mail lists"));
}

bool ShowAddAddress(QWidget* owner) {
    Q_UNUSED(owner);
    notAvailable(QStringLiteral("Importing e-mail addresses"));
    return false;
}

// Answers 1, the value for "nothing was fetched".
int GetMailPasswordAndReceive() {
    notAvailable(QStringLiteral("Getting mail"));
    return 1;
}

void ResetMailStatus() {
    notAvailable(QStringLiteral("Clearing the mail status"));
}

} // namespace mail
