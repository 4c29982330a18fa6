// The add-in's own folder: the folder of the library file the spreadsheet program loaded. Its
// sample database lies in its "samples" folder.
#pragma once

#include <QString>

namespace lumicell {

QString AddInFolder();

} // namespace lumicell
