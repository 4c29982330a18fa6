// The pages of the Build Budget dialog that live in files of their own: Make Worksheets (tab
// 0), Run Macros (tab 1) and Range (tab 4). The dialog creates each through its function and
// owns it through Qt's parent.
#pragma once

#include "lumicell/BuildTabPage.h"

class QWidget;

namespace lumicell {

BuildTabPage* MakeWorksheetsPage(QWidget* parent);
BuildTabPage* RunMacrosPage(QWidget* parent);
BuildTabPage* RangePage(QWidget* parent);

} // namespace lumicell
