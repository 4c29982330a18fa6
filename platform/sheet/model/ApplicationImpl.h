// The layer's own state of the application object, behind the Application callers use: the
// open workbooks, the order in which they were activated, the copy buffer and the display
// switches, with the raising of the events the layer's own operations cause. Only the layer
// includes this header.
#pragma once

#include "platform/sheet/Application.h"
#include "platform/sheet/model/CopyBuffer.h"

#include <QPointer>
#include <memory>
#include <vector>

namespace platform::sheet {

class Application::Impl {
public:
    static Impl& of(const Application& app) { return *app.d_; }

    explicit Impl(Application& self)
        : self(self) {}

    void raiseSheetChange(Worksheet& sheet, const CellRange& block);
    void raiseSheetSelectionChange(Worksheet& sheet, const CellRange& block);
    void raiseSheetActivation(Worksheet* from, Worksheet* to);
    void raiseSheetsChanged(Workbook& workbook);
    QString nextBookName();
    void closeWorkbook(Workbook& workbook, bool saveChanges);

    Application& self;
    std::vector<std::unique_ptr<Workbook>> workbooks;
    std::vector<Workbook*> activation; // the active workbook last
    std::vector<const Workbook*> held; // one entry per hold
    CopyBuffer buffer;
    int nextBook = 1;
    bool visible = false;
    bool screenUpdating = true;
    bool displayAlerts = true;
    bool askToUpdateLinks = true;
    bool enableEvents = true;
    int majorVersion = Application::kMajorVersion;
    QPointer<QObject> mainWindow;
};

// The layer's state behind the application.
inline Application::Impl& impl(const Application& app) {
    return Application::Impl::of(app);
}

} // namespace platform::sheet
