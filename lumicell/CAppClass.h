// The add-in's event sink: XLEventApp holds the spreadsheet program's Application with its
// events connected (setting it connects them, releasing the sink disconnects them). It keeps
// the options object on the active workbook and the two main dialogs (OpenDialogs.h) on the
// workbook the user switches to:
// - a workbook activated: each open dialog that is not busy takes it as its master file; a
//   workbook new to the system is offered for registration once, whichever dialogs are open,
//   and never while either dialog is busy with a long run (a cut, an update run), nor for a
//   workbook that is no workbook file or is one of the sample templates;
// - a workbook deactivated: "None" for the active workbook and the master file, and each open
//   dialog that is not busy forgets the budget context and empties its grids;
// - a selection of a whole single row or column while the Build Budget dialog is in summary
//   mode goes to that dialog's row or column list.
// The deactivation and selection handlers show the add-in's generic error message for a
// failure; an activation's failure goes back to the program with the event.
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
    void SheetSelectionChange(platform::sheet::Worksheet* sheet, const platform::sheet::Range& target);
    void WorkbookActivate(platform::sheet::Workbook* workbook);
    void WorkbookDeactivate(platform::sheet::Workbook* workbook);

    QPointer<platform::sheet::Application> app_;
};

} // namespace lumicell
