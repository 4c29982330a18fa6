// The pages of the Build Budget dialog that live in their own files, made by the dialog when it
// builds its tabs: Make Worksheets (tab 0), Run Macros (tab 1) and Range (tab 4). Each page is a
// child of the given parent.
#pragma once

#include "lumicell/BuildTabPage.h"

namespace lumicell {

BuildTabPage* MakeWorksheetsPage(QWidget* parent); // tab 0
BuildTabPage* RunMacrosPage(QWidget* parent);      // tab 1
BuildTabPage* RangePage(QWidget* parent);          // tab 4

} // namespace lumicell
