// See CreateUserFilesXL.h. The wait window and the busy flag are set up for the builder's life
// and undone at every end; screen updating and alerts come back on. The builder reads through a
// query object of its own, never the update run's engine.
#include "lumicell/buildbudget/CreateUserFilesXL.h"

#include "core/AppTitle.h"
#include "core/ErrorMessage.h"
#include "core/QueryObject.h"
#include "lumicell/AddIn.h"
#include "lumicell/buildbudget/frmBuild.h"
#include "lumicell/cOptions.h"
#include "platform/sheet/Application.h"
#include "platform/sheet/QuietHost.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "platform/ui/DataGrid.h"
#include "platform/ui/EditGrid.h"
#include "platform/ui/Ui.h"
#include "workbooks/CreateUserFiles.h"
#include "workbooks/WaitWindowSteps.h"

#include <algorithm>

namespace lumicell {

namespace {

using platform::ui::Answer;
using platform::ui::Buttons;

void tell(const QString& text) {
    platform::ui::msgBox(text, Buttons::Ok, core::appTitle());
}

// What the builder holds while it runs, given back at every end.
class BuilderRun {
public:
    BuilderRun() = default;
    ~BuilderRun() {
        gOptions()->OKCUFClicked = false;
        if (platform::sheet::Application* app = gXLApp())
            platform::sheet::setQuiet(*app, platform::sheet::Quiet::ScreenAndAlerts, false);
    }
    BuilderRun(const BuilderRun&) = delete;
    BuilderRun& operator=(const BuilderRun&) = delete;

    core::QueryObject& query() { return query_; }

private:
    workbooks::WaitWindowScope wait_;
    core::QueryObject query_;
};

QStringList sorted(QStringList names) {
    std::sort(names.begin(), names.end());
    return names;
}

// The open master workbook of the row, when it is the one the dialog accepted.
platform::sheet::Workbook* acceptedMaster(const workbooks::MasterToCut& master) {
    const cOptions& options = *gOptions();
    if (options.AWBSet.compare(options.FormLoadWB, Qt::CaseInsensitive) != 0 && !options.InstallSample)
        return nullptr;
    platform::sheet::Application* app = gXLApp();
    return app ? app->findWorkbook(master.fullPath) : nullptr;
}

qint32 build(BuilderRun& run, frmBuild& dialog, const QString& masterName,
             const workbooks::CutChoice& choice) {
    cOptions& options = *gOptions();
    workbooks::MasterToCut master;
    if (!workbooks::FindMasterToCut(run.query(), masterName, master)) {
        tell(workbooks::kNoMasterRowText);
        return kBuildNoMasterRow;
    }
    if (!workbooks::LocateMasterToCut(master))
        return kBuildMasterMissing;
    platform::db::Recordset sheets = workbooks::OpenPickedWorksheets(run.query(), master);
    platform::sheet::Workbook* book = acceptedMaster(master);
    if (!book) {
        tell(kNewWorkbookText);
        options.UnloadForm = true;
        return kBuildRefused;
    }
    if (book->readOnly()) {
        tell(kReadOnlyCutText.arg(book->name(), book->readOnlyReasonText()));
        return kBuildRefused;
    }
    options.OKCUFClicked = true;
    if (!options.InstallSample && !WorkbookMatchesDatabase(*book, *dialog.dtCUF()) &&
        platform::ui::msgBox(kReSyncQuestion, Buttons::YesNo, core::appTitle()) == Answer::Yes) {
        options.NeedReSync = true;
        options.RequestedByCUF = true;
        dialog.close();
        return kBuildReSync;
    }
    if (sheets.eof())
        return kBuildDone;
    gXLApp()->setScreenUpdating(false);
    return workbooks::CutWorksheets(run.query(), *book, sheets, master, choice) == workbooks::kCutCancelled
               ? kBuildCancelled
               : kBuildDone;
}

} // namespace

qint32 CreateUserFilesXL(frmBuild& dialog, const QString& masterName, bool overwrite, bool listMode,
                         bool valuesOnly, const QStringList& list, int total, int offset) {
    BuilderRun run;
    const workbooks::CutChoice choice{overwrite, listMode, valuesOnly, list, total, offset};
    try {
        return build(run, dialog, masterName, choice);
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error);
        return kBuildFailed;
    }
}

bool WorkbookMatchesDatabase(const platform::sheet::Workbook& book, const platform::ui::DataGrid& dtCUF) {
    QStringList grid;
    for (int row = 0; row < dtCUF.rowCount(); ++row)
        grid << dtCUF.cellText(row, frmBuild::kCufSheet);
    QStringList sheets;
    for (const platform::sheet::Worksheet* sheet : book.worksheets())
        sheets << sheet->name();
    return sorted(sheets) == sorted(grid);
}

} // namespace lumicell
