// The add-in's event sink: XLEventApp holds the spreadsheet program's Application with its
// events connected (setting it connects them, releasing the sink disconnects them). A workbook
// activated or deactivated keeps the options object on the active workbook ("None" once a
// workbook is deactivated). Re-targeting the Build Budget and Run Budget dialogs, and the
// summary mode's picks of whole rows and columns, come with those dialogs.
#pragma once

#include "platform/sheet/Application.h"

#include <QObject>
#include <QPointer>

namespace lumicell {

class CAppClass : public QObject {
    Q_OBJECT
public:
    CAppClass() = default;

    platform::sheet::Application* XLEventApp() const { return app_.data(); }
    // Connects the sink to the application's events (and from an earlier one).
    void setXLEventApp(platform::sheet::Application* app);

private:
    void WorkbookActivate(platform::sheet::Workbook* workbook);
    void WorkbookDeactivate(platform::sheet::Workbook* workbook);

    QPointer<platform::sheet::Application> app_;
};

} // namespace lumicell
