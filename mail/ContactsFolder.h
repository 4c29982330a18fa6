// The user's contacts folder, where the address books lie that the address import reads: the
// setting Options\ContactsFolder of the desktop program, by default the folder Contacts in the
// data folder (made when it is missing, so the default is always there to put books into).
#pragma once

#include <QString>

namespace mail {

inline const QString kContactsFolderKey = QStringLiteral("ContactsFolder");

QString ContactsFolder();

} // namespace mail
