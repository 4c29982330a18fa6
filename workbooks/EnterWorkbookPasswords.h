// The program's one workbook-password dialog (platform/ui/frmEnterWBPwd.h), loaded with its
// answers wired to the options object: OK sets gOptions->SetPwd, Cancel and the close box set
// gOptions->CancelPwd. The caller shows it modeless, waits for a flag
// (core::WaitForDialogAnswer), reads tbxFOPwd and tbxWritePwd after OK and unloads it.
#pragma once

class QWidget;

namespace platform::ui {
class frmEnterWBPwd;
}

namespace workbooks {

// The loaded dialog, loading it (owned by owner, not shown) when it is not.
platform::ui::frmEnterWBPwd& LoadEnterWBPwd(QWidget* owner = nullptr);

// Unloads the dialog; does no harm when it is not loaded.
void UnloadEnterWBPwd();

} // namespace workbooks
