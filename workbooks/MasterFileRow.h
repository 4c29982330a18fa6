// The MasterFiles row of one master workbook of a budget, as the cut, the password routines
// and the update run find it: by the workbook's file name and the budget, both equal without
// regard to case, so "Budget.xlsx" never finds "OldBudget.xlsx" nor another budget's
// workbook. Also what those routines read from such a row: the full path and the stored
// passwords in clear.
#pragma once

#include "platform/db/Recordset.h"

#include <QString>

namespace core {
class QueryObject;
}

namespace workbooks {

// Opens the rows of that workbook and budget through the query object into rst; true when
// exactly one row matched (rst then stands on it).
bool OpenMasterFileRow(core::QueryObject& query, const QString& masterFile, const QString& budget,
                       platform::db::Recordset& rst);

// A text field of the current row; Null reads as "".
QString TextOf(const platform::db::Recordset& row, const QString& field);

// A field stored scrambled (a password), in clear; Null and "" read as "".
QString DecodedTextOf(const platform::db::Recordset& row, const QString& field);

// folder + "/" + name, with one "/" between them ("/" + name for an empty folder).
QString JoinPath(const QString& folder, const QString& name);

// The passwords stored (scrambled) in a MasterFiles row, in clear; "" where none is stored.
struct StoredPasswords {
    QString open;  // WBOpen_Password: the file-open password
    QString write; // WBWrite_Password: the write-reservation password
};
StoredPasswords StoredPasswordsOf(const platform::db::Recordset& row);

} // namespace workbooks
