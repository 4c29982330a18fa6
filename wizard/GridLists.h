// The value lists that the wizard's grid columns offer in their drop-downs: the folder names
// (worksheet grid) and the user names (assignment grid), each one text with the entries
// separated by a TAB character.
#pragma once

#include <QString>

namespace wizard {

inline const QString kNoFolderNamesText = QStringLiteral("You will need Folder Names for the next screen.");

// The FolderNames entries in table order, without the placeholder row and empty names. When
// the table holds no real name it says so (kNoFolderNamesText) and answers "". A failure shows
// the generic error message and answers "".
QString GetFolderNamesList();

// The UsersData names in table order. The placeholder row is offered like a name, so a table
// holding only it answers "<Dummy record>"; empty names are left out. An empty table is told
// with the users message and answers "". A failure shows the generic error message and
// answers "".
QString GetUsersList();

} // namespace wizard
