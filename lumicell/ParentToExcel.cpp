// See ParentToExcel.h.
#include "lumicell/ParentToExcel.h"

#include "lumicell/AddIn.h"
#include "platform/sheet/Application.h"

#include <QWidget>

namespace lumicell {

QWidget* ExcelWindow() {
    platform::sheet::Application* app = gXLApp();
    return app ? qobject_cast<QWidget*>(app->mainWindow()) : nullptr;
}

void ParentToExcel(QWidget& window) {
    QWidget* owner = ExcelWindow();
    if (!owner || window.parentWidget() == owner)
        return;
    // A child keeps its window flags only when they are given again with the new parent.
    window.setParent(owner, window.windowFlags() | Qt::Window);
}

} // namespace lumicell
