// The text of a placeholder row. A table of the master database that holds no real row keeps one
// row whose first column reads "<Dummy record>", so that the grids and lists bound to it have a
// row to show; readers skip it, the clean-up sweep adds it to an empty table and takes it away
// once a real row is there. Declared here, in the layer that the grids, the data store library
// and every subsystem reach, so that one text is compared everywhere.
#pragma once

#include <QString>

namespace platform::sys {

inline const QString kPlaceholderText = QStringLiteral("<Dummy record>");

} // namespace platform::sys
