// The setup wizard's "Build Files" when "Build All" is not ticked: the worksheets highlighted
// in the wizard's worksheet grid are cut, master workbook by master workbook. The wizard is
// reached through gOptions->ActiveForm, its grid dtWorksheets and its check box chkOWAll
// ("Overwrite All") by their names, so that any window with controls of those names can use it.
#pragma once

#include <QString>
#include <QtGlobal>

namespace workbooks {

inline const QString kMasterMissingText = QStringLiteral("The master workbook file is missing.");
inline const QString kMasterInUseText = QStringLiteral("The master workbook is in use. Close it to proceed");

// Answers 4 when no grid row is highlighted (nothing else happens), otherwise 0. Highlighted
// rows without the Select tick (column 1) or without a folder (column 2) are passed over;
// consecutive rows of one master workbook (column 9) are cut in one CreateUserFiles call. The
// register of user files is brought in step after every call that cut files (finished,
// cancelled or failed); a missing master workbook and one in use are reported, and the next
// master workbook follows whatever happened.
qint32 CreateUserFilesForSelection(bool copyValues);

} // namespace workbooks
