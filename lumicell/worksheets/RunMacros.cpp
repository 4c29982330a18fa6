// See RunMacros.h.
#include "lumicell/worksheets/RunMacros.h"

#include "core/AppTitle.h"
#include "core/FormControl.h"
#include "core/frmWait.h"
#include "lumicell/AddIn.h"
#include "lumicell/cOptions.h"
#include "lumicell/worksheets/WaitWindow.h"
#include "platform/sheet/Application.h"
#include "platform/sheet/MacroProject.h"
#include "platform/sheet/SheetError.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "platform/ui/ComboList.h"
#include "platform/ui/DataGrid.h"
#include "platform/ui/Ui.h"

#include <stdexcept>

namespace lumicell {

namespace {

using platform::sheet::CodeModule;
using platform::sheet::MacroComponent;
using platform::sheet::MacroProject;
using platform::ui::ComboList;
using platform::ui::DataGrid;

platform::sheet::Workbook* activeWorkbook() {
    platform::sheet::Application* app = gXLApp();
    return app ? app->activeWorkbook() : nullptr;
}

std::optional<MacroProject> activeProject() {
    platform::sheet::Workbook* workbook = activeWorkbook();
    return workbook ? MacroProject::of(*workbook) : std::nullopt;
}

// The procedure box and the grid's pick list from one module.
void showProcedures(const CodeModule& code) {
    auto& macros = core::ActiveFormControl<ComboList>("cbxMacroName");
    auto& grid = core::ActiveFormControl<DataGrid>("dtRM");
    const QStringList names = ProcedureNames(code);
    macros.clearEntries();
    for (const QString& name : names)
        macros.addEntry(name);
    grid.setColumnList(kRunMacroColumn, names.join(u'\t'));
    grid.refresh();
}

} // namespace

QString GetComponentTypeName(const MacroComponent& component) {
    return component.type == MacroComponent::Type::StandardModule ? QStringLiteral("Standard Module")
                                                                  : QString();
}

QStringList ProcedureNames(const CodeModule& code) {
    QStringList names;
    int line = code.CountOfDeclarationLines() + 1;
    while (line <= code.CountOfLines()) {
        const CodeModule::Procedure* procedure = code.ProcOfLine(line);
        if (!procedure || procedure->startLine + procedure->lineCount <= line)
            break;
        if (procedure->kind == CodeModule::ProcKind::Procedure)
            names << procedure->name;
        line = procedure->startLine + procedure->lineCount;
    }
    return names;
}

void LoadModuleAndMacroLists() {
    auto& modules = core::ActiveFormControl<ComboList>("cbxModuleName");
    modules.clearEntries();
    const std::optional<MacroProject> project = activeProject();
    if (!project)
        return;
    const MacroComponent* last = nullptr;
    for (const MacroComponent& component : project->components())
        if (!GetComponentTypeName(component).isEmpty()) {
            modules.addEntry(component.name);
            last = &component;
        }
    if (!last)
        return;
    showProcedures(last->code);
    const QSignalBlocker quiet(modules);
    modules.setText(last->name);
}

void LoadMacroList() {
    const QString module = core::ActiveFormControl<ComboList>("cbxModuleName").text();
    const std::optional<MacroProject> project = activeProject();
    const MacroComponent* component = project ? project->find(module) : nullptr;
    if (!component)
        throw platform::sheet::SheetError(
            platform::sheet::SheetError::Code::NoSuchSheet,
            QStringLiteral("The module %1 is not in the workbook's macro project.").arg(module));
    showProcedures(component->code);
    core::ActiveFormControl<ComboList>("cbxMacroName").setText(QString());
}

void LoadRunMacrosGrid() {
    auto& grid = core::ActiveFormControl<DataGrid>("dtRM");
    grid.resetRows();
    platform::sheet::Workbook* workbook = activeWorkbook();
    if (!workbook)
        return;
    for (platform::sheet::Worksheet* sheet : workbook->worksheets())
        grid.appendRow({false, sheet->name(), QString()});
}

void RunMacrosOnSheets() {
    platform::sheet::Application* app = gXLApp();
    platform::sheet::Workbook* workbook = activeWorkbook();
    if (!app || !workbook)
        throw std::runtime_error("No workbook is active.");
    app->setScreenUpdating(false);
    core::frmWait& wait = ShowWaitWindow(QStringLiteral("Run Macros"),
                                         {&core::frmWait::lblMasterFileLabel, &core::frmWait::lblFileStatus2,
                                          &core::frmWait::lblWorksheetLabel, &core::frmWait::lblWorksheet});
    auto& grid = core::ActiveFormControl<DataGrid>("dtRM");
    const int last = grid.rowCount() - 1;
    QString sheet;
    for (int row = 0; row <= last; ++row) {
        if (grid.cellValue(row, kRunTickColumn).toInt() == 1) {
            workbook->sheet(grid.cellText(row, kRunSheetColumn)).activate();
            sheet = grid.cellText(row, kRunSheetColumn);
            if (!grid.cellText(row, kRunMacroColumn).isEmpty())
                throw platform::sheet::SheetError(platform::sheet::SheetError::Code::NotAvailable,
                                                  kMacrosNotSupportedText);
            platform::ui::msgBox(kSelectMacroToRunText, platform::ui::Buttons::Ok, core::appTitle());
        }
        wait.lblFileStatus2()->setText(gOptions() ? gOptions()->MasterFilename : workbook->name());
        ShowWaitProgress(QStringLiteral("Running macro on worksheet"), sheet, row, last);
    }
}

} // namespace lumicell
