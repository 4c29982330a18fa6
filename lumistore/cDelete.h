// cDelete: deletes rows for the windows of both programs: every row of a recordset the
// caller holds, the current row of such a recordset (leaving it on a sensible neighbour),
// or the row that a settings list or the errors list names by its key, in the table behind
// that list, keeping the placeholder row of the table.
//
// Failures of the database engine are not caught: they reach the caller as a LumistoreError
// with the engine's number and description.
#pragma once

#include "lumistore/LumistoreExport.h"

#include <QString>
#include <QtGlobal>

namespace platform::db {
class Recordset;
}

namespace lumistore {

class LUMISTORE_EXPORT cDelete {
public:
    // Answers of DeleteLumiXLRecord.
    static constexpr qint32 kDeleted = 0;         // the matching row was deleted; rows remain
    static constexpr qint32 kLastRowDeleted = 1;  // the table's only row was deleted: it is empty now
    static constexpr qint32 kPlaceholderKept = 2; // the only row is the placeholder asked for: kept
    static constexpr qint32 kNotFound = 3;        // no row has that key (an empty table included)
    // Answer of DelSelRecord when the recordset stands before its first row.
    static constexpr qint32 kBeforeFirstRow = -1;

    // Deletes every row of the recordset, from the first to the end. An empty recordset
    // gets the message "There are no records.  Run the System Clean function.".
    void DeleteLumiRecords(platform::db::Recordset& rstControlName);

    // Deletes the current row and moves to the next row when it was the first, else to the
    // one before it (to the first row when it was the only one). Before the first row:
    // "BOF is true and you cannot delete." and kBeforeFirstRow. Past the last row, or on a
    // row whose key field (index intField) is empty: the grid's new-row line, "You can't
    // delete the Add!" and 0. blnInstallSample plays no part.
    qint32 DelSelRecord(platform::db::Recordset& rstControlName, qint16 intField,
                        bool blnInstallSample = false);

    // Deletes the row whose key equals strFieldValue exactly (letter case counts) in the
    // table behind the grid strDataTable: "dtAdmin", "dtFolderNames", "dtUsersData",
    // "dtAdminUsers", "dtMsgs" (Subject with blnMessages, else BodyText) and "dtErrors" (the
    // errors table, keyed by its row number ID). Only the first of equal keys goes. The
    // placeholder row is never deleted when it is the table's only row (kPlaceholderKept).
    // Another grid name raises. intRow plays no part. With strRecType (for "dtAdmin") only a
    // row of that kind matches, its RecType compared without regard to case, so an author
    // and a mail robot of the same name are told apart.
    qint32 DeleteLumiXLRecord(const QString& strDataTable, const QString& strFieldValue, qint16 intRow,
                              const QString& strLumiConnection, bool blnMessages = false,
                              const QString& strRecType = {});
};

} // namespace lumistore
