// The Cut, Copy and Paste commands of the two context menus that the configuration window's
// and the wizard's grids pop up.
//
// The configuration menu works on the grid of the configuration window's current tab, at the
// grid's current cell (for the folder names and the messages always in their one column);
// on the options tab, or with the window not loaded, it does nothing. Copy puts the cell's
// text on the clipboard. Paste writes the clipboard's text into the cell and Cut empties the
// cell after copying its text; both then run the grid's change procedure, so the value is
// checked and stored as a typed edit would be.
//
// The wizard's menu works on its assignment page only: Copy takes the current name of the user
// list, Paste writes it into the assignment grid's current cell (while that grid is the
// wizard's active control and the cell is in its User Name column) and stores it as a typed
// name.
#pragma once

namespace lumidesk {

void mnuPopupCutfrmConfig_Click();
void mnuPopupCopyfrmConfig_Click();
void mnuPopupPastefrmConfig_Click();
void mnuPopupCopyfrmWizard_Click();
void mnuPopupPastefrmWizard_Click();

} // namespace lumidesk
