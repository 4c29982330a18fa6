// See MailServices.h.
#include "mail/MailServices.h"

#include "mail/frmAddAddress.h"
#include "mail/frmMail.h"

namespace mail {

namespace {
template <typename Window> bool showWindow(Window* loaded, QWidget* owner) {
    if (!loaded)
        loaded = new Window(owner);
    loaded->show();
    loaded->raise();
    loaded->activateWindow();
    return true;
}
} // namespace

bool ShowSendMail(QWidget* owner) {
    return showWindow(frmMail::loaded(), owner);
}

void FillSendMailGrid() {
    if (frmMail* window = frmMail::loaded())
        window->panel()->FillSendMailGrid();
}

void FillMailLists() {
    if (frmMail* window = frmMail::loaded())
        window->panel()->FillMailLists();
}

bool ShowAddAddress(QWidget* owner) {
    return showWindow(frmAddAddress::loaded(), owner);
}

} // namespace mail
