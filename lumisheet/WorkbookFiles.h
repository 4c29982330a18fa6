// The program's file commands on the workbook layer, with the questions they ask through the Ui
// service: open (asking the file-open password of an encrypted workbook until it is right or
// the user gives up; a workbook that another program holds opens read-only), save, save under
// another name, and close (asking whether to save a changed workbook, unless the application's
// alerts are off: then the changes are dropped, as a spreadsheet program does for its add-ins).
// A legacy .xls, a damaged file or any other refusal is told in the layer's words and leaves
// every file as it was.
#pragma once

#include <QString>
#include <future>
#include <memory>

namespace platform::sheet {
class Application;
class Workbook;
} // namespace platform::sheet

namespace lumisheet {

// A workbook of the command line, read in the background while the program and its add-in
// start; OpenWorkbook takes it over then, with the events and questions of an ordinary open.
class PendingWorkbook {
public:
    explicit PendingWorkbook(const QString& path);
    ~PendingWorkbook();
    PendingWorkbook(PendingWorkbook&&) noexcept;
    PendingWorkbook& operator=(PendingWorkbook&&) noexcept;

    const QString& path() const { return path_; }
    // The workbook read, or the failure of the reading raised.
    std::unique_ptr<platform::sheet::Workbook> take();

private:
    QString path_;
    std::future<std::unique_ptr<platform::sheet::Workbook>> reading_;
};

inline const QString kWorkbookFilter = QStringLiteral("Workbooks (*.xlsx *.xlsm)");

// The opened workbook (active), or null when it was refused or the password not given.
platform::sheet::Workbook* OpenWorkbook(platform::sheet::Application& app, const QString& path);

// The same for a workbook read in the background: taken into the application as it was read; one
// that needs its password, or whose name is open already, is opened the ordinary way.
platform::sheet::Workbook* OpenWorkbook(platform::sheet::Application& app, PendingWorkbook& pending);

// Asks for a file and opens it; null when cancelled or refused.
platform::sheet::Workbook* OpenWorkbookAsked(platform::sheet::Application& app);

// Saves over the workbook's file; one never saved goes to SaveWorkbookAs. False when refused
// (read-only, a write that failed; said so) or cancelled.
bool SaveWorkbook(platform::sheet::Workbook& workbook);

// Asks for a name (a name without .xlsx or .xlsm gets .xlsx) and saves there; the file-open
// password of an encrypted workbook stays on the new file. A workbook that a running operation
// of the add-in holds is refused, with the reason, before anything is asked. False when
// refused or cancelled.
bool SaveWorkbookAs(platform::sheet::Application& app, platform::sheet::Workbook& workbook);

// Closes the workbook, asking first whether to save its changes (Yes saves, and a save that
// fails or is cancelled keeps it open; No drops them; Cancel keeps it open). With the alerts
// off nothing is asked and the changes are dropped. A workbook that a running operation of the
// add-in holds stays open, with the reason. True when it was closed.
bool CloseWorkbook(platform::sheet::Application& app, platform::sheet::Workbook& workbook);

} // namespace lumisheet
