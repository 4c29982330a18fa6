// See ControlInfoPage.h.
#include "platform/ui/ControlInfoPage.h"

#include "platform/ui/WindowOpeners.h"

#include <QShortcut>
#include <QWidget>

namespace platform::ui {

void offerControlInfoPage(QWidget& control) {
    auto* key = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F1), &control);
    key->setContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(key, &QShortcut::activated, &control,
                     [&control] { openWindow(kControlInfoPageForm, control.window()); });
}

} // namespace platform::ui
