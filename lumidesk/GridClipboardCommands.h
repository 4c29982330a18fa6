// The Cut, Copy and Paste commands of the two context menus that the configuration window's
// and the wizard's grids pop up. They come with those windows; until then each tells the user
// it is not available and leaves the clipboard and the grids alone.
#pragma once

namespace lumidesk {

void mnuPopupCutfrmConfig_Click();
void mnuPopupCopyfrmConfig_Click();
void mnuPopupPastefrmConfig_Click();
void mnuPopupCopyfrmWizard_Click();
void mnuPopupPastefrmWizard_Click();

} // namespace lumidesk
