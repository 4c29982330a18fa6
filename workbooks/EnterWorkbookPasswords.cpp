// See EnterWorkbookPasswords.h.
#include "workbooks/EnterWorkbookPasswords.h"

#include "core/cOptions.h"
#include "platform/ui/frmEnterWBPwd.h"

#include <QPointer>

namespace workbooks {

namespace {
QPointer<platform::ui::frmEnterWBPwd>& instance() {
    static QPointer<platform::ui::frmEnterWBPwd> dialog;
    return dialog;
}
} // namespace

platform::ui::frmEnterWBPwd& LoadEnterWBPwd(QWidget* owner) {
    if (!instance()) {
        auto* dialog = new platform::ui::frmEnterWBPwd(owner);
        QObject::connect(dialog, &platform::ui::frmEnterWBPwd::okClicked, [] {
            if (core::gOptions)
                core::gOptions->SetPwd = true;
        });
        QObject::connect(dialog, &platform::ui::frmEnterWBPwd::cancelClicked, [] {
            if (core::gOptions)
                core::gOptions->CancelPwd = true;
        });
        instance() = dialog;
    }
    return *instance();
}

void UnloadEnterWBPwd() {
    delete instance().data();
}

} // namespace workbooks
