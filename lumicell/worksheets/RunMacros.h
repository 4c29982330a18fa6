// The work behind the Run Macros tab: the standard modules of the active workbook's macro
// project and the procedures of one of them (read from the project, never run), the grid of the
// workbook's worksheets, and the run over the ticked rows. The routines reach the tab's grid dtRM
// and its boxes cbxModuleName and cbxMacroName by name through the options object's ActiveForm.
//
// Running a workbook's procedures cannot be done here (there is no interpreter for their
// language): the first ticked row that names a procedure ends the run with an error saying so,
// as a procedure that fails would; ticked rows before it without a procedure have shown
// "Select a macro to run.".
#pragma once

#include <QString>
#include <QStringList>

namespace platform::sheet {
class CodeModule;
struct MacroComponent;
} // namespace platform::sheet

namespace lumicell {

inline const QString kSelectMacroText = QStringLiteral("Select a macro.");
inline const QString kSelectMacroToRunText = QStringLiteral("Select a macro to run.");
inline const QString kMacrosNotSupportedText =
    QStringLiteral("Running workbook macros is not supported on this system.");

// The grid's columns.
inline constexpr int kRunTickColumn = 0;
inline constexpr int kRunSheetColumn = 1;
inline constexpr int kRunMacroColumn = 2;

// "Standard Module" for a standard module, else the empty text.
QString GetComponentTypeName(const platform::sheet::MacroComponent& component);

// The procedures a module offers to run, in the module's order: its Subs and Functions, walked
// from the line after the declarations, procedure by procedure. Property procedures cannot be
// run by name and are passed over.
QStringList ProcedureNames(const platform::sheet::CodeModule& code);

// Fills the module box with the standard modules and the procedure box and the grid's pick list
// with the last one's procedures, which becomes the chosen module. Without a standard module the
// procedure lists keep what they held. A damaged project raises the workbook layer's error.
void LoadModuleAndMacroLists();

// The procedures of the module the module box names, into the procedure box (its text emptied)
// and the grid's pick list.
void LoadMacroList();

// One row per worksheet of the active workbook: unticked, its name, no procedure.
void LoadRunMacrosGrid();

// Goes through the rows with the wait window up and screen updating off; the caller closes the
// one and switches the other on. Raises the error that ended the run.
void RunMacrosOnSheets();

} // namespace lumicell
