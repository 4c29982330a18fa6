// The add-in's edition of the configuration window. The add-in, when it starts, tells the
// window what it needs of the spreadsheet program that hosts it; while that is set every
// configuration window of the process is the add-in's: its own options (Options\EmailReplys,
// Runtime\EmailCompose, Runtime\Xvalue, Runtime\AutoPrompt, Runtime\COMAdd-In, Runtime\CloseWin)
// shown and kept, the desktop's own options, the address import and the Local/Network choice
// hidden and never read nor kept, no context menu on the grids, no network rights (the add-in
// works on the local master database), and the sample budget followed by the Run Budget dialog.
#pragma once

#include <QString>
#include <functional>
#include <optional>

namespace admin {

struct ConfigureAddIn {
    // The host program's major version; the COM add-in box works from version 9 on.
    std::function<int()> hostMajorVersion;
    // Refreshes the add-in's master-file members from the active workbook (one is open).
    std::function<void()> refreshMasterFile;
    // The window shown after the sample budget was installed.
    QString windowAfterSample;
};

inline constexpr int kFirstVersionWithComAddIns = 9;

void setConfigureAddIn(std::optional<ConfigureAddIn> addIn);
const std::optional<ConfigureAddIn>& configureAddIn();

} // namespace admin
