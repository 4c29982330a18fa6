// The drop-down lists of the wizard's grid columns: folder names for the worksheets' folder
// column, user names for the assignment column, each one text with the names separated by TAB.
#pragma once

#include <QString>

namespace wizard {

// Every folder name but the placeholder, in stored order. Without folder names: the message
// "You will need Folder Names for the next screen." and the empty text.
QString GetFolderNamesList();

// Every user name in stored order (the placeholder of an empty table included). Without rows:
// the message "There aren't any UsersData records.  Add some!" and the empty text.
QString GetUsersList();

} // namespace wizard
