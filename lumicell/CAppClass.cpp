// See CAppClass.h.
#include "lumicell/CAppClass.h"

#include "lumicell/AddIn.h"
#include "lumicell/cOptions.h"
#include "platform/sheet/Application.h"
#include "platform/sheet/Workbook.h"

namespace lumicell {

void CAppClass::setXLEventApp(platform::sheet::Application* app) {
    if (app_)
        disconnect(app_, nullptr, this, nullptr);
    app_ = app;
    if (!app)
        return;
    using platform::sheet::Application;
    connect(app, &Application::workbookActivate, this, &CAppClass::WorkbookActivate);
    connect(app, &Application::workbookDeactivate, this, &CAppClass::WorkbookDeactivate);
}

void CAppClass::WorkbookActivate(platform::sheet::Workbook*) {
    cOptions* options = gOptions();
    if (!options || !app_)
        return;
    if (platform::sheet::Workbook* active = app_->activeWorkbook())
        options->AWBSet = active->name();
}

void CAppClass::WorkbookDeactivate(platform::sheet::Workbook*) {
    cOptions* options = gOptions();
    if (!options)
        return;
    options->AWBSet = QStringLiteral("None");
    options->MasterFilename = QStringLiteral("None");
}

} // namespace lumicell
