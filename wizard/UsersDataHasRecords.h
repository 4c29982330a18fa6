// Tells the administrator when no users have been entered yet; the Budgets Explorer asks
// each time it loads.
#pragma once

#include <QString>

namespace wizard {

inline const QString kNoUsersText = QStringLiteral("There aren't any UsersData records.  Add some!");

// Shows the message above (title "Lumi") when UsersData holds no rows; nothing otherwise.
void UsersDataHasRecords();

} // namespace wizard
