// The add-in's options object: the desktop program's options object (core/cOptions.h), whose
// members the shared routines built into the add-in read and write through core::gOptions, with
// the add-in's own members first: the active workbook as last seen, the master file taken from
// it, which dialogs are open and busy, the modes of the Build Budget dialog. Its three
// operations fill some of them from the spreadsheet program and from the add-in's settings,
// ignoring every failure: a step that cannot be done (no workbook is open) leaves its members
// as they were and the operation goes on.
//
// The master file's name is split into its stem and its extension ("Budget.xlsx" gives
// "Budget" and ".xlsx"), where the name would otherwise lose its last four characters; a
// workbook never saved ("Book1") has no extension, so the dialogs that want a workbook file
// refuse it.
#pragma once

#include "core/cOptions.h"

#include <QString>

namespace platform::sheet {
class Application;
}

namespace lumicell {

class cOptions : public core::cOptions {
public:
    QString AWBSet;               // the active workbook's name as last seen; "None" after a deactivation
    QString FormLoadWB;           // the workbook the Build Budget dialog or the update run accepted
    bool UnloadForm = false;      // the active workbook cannot be used as a master file
    bool CUFIsRunning = false;    // the Build Budget dialog is open
    bool RunBudIsRunning = false; // the Run Budget dialog is open
    bool OKCUFClicked = false;    // the Build Budget dialog is creating user files
    bool OKUMFClicked = false;    // the Run Budget dialog is running an update
    QString TestXLS;              // the master file's extension (".xlsx")
    QString MFFullPath;           // the active workbook's full path and name
    QString MFPath;               // its folder
    QString MasterName;           // its name without the extension
    QString DisplayLumiAlerts;    // "True" once the master database was found, "False" after the shut-down
    bool FormBldWSBig = false;    // the Build Budget dialog is in summary mode
    bool NewBudgetFile = false;   // the active workbook was just added to a budget
    bool NeedReSync = false;      // the worksheet records no longer match the workbook
    bool RequestedByCUF = false;  // the user-file builder asked for a re-sync
    bool SaveMF = false;          // save the master workbook after an update run

    // AppPath := the add-in's folder; UnloadForm, CancelOp, OKCUFClicked := False; AWBSet :=
    // the active workbook's name (kept without one); CorruptedFilename := "Errors"
    // "CorruptedFilename".
    void ReadValues(const platform::sheet::Application* app);
    // UnloadForm := True; "Errors" "CorruptedFilename" := "".
    void WriteValues();
    // EmailReplys := "Options" "EmailReplys" (default 1); UnloadForm := False; the master file
    // members from the active workbook (kept without one); FormBldWSBig := False.
    void GetMFInfo(const platform::sheet::Application* app);
};

} // namespace lumicell
