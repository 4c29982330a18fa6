// See MasterFileRow.h.
#include "workbooks/MasterFileRow.h"

#include "core/QueryObject.h"
#include "core/StringScrambling.h"

namespace workbooks {

namespace {
const QString kMasterFileQuery =
    QStringLiteral("SELECT * FROM MasterFiles WHERE Master_File = ? COLLATE NOCASE_U "
                   "AND Budget_Name = ? COLLATE NOCASE_U");
}

bool OpenMasterFileRow(core::QueryObject& query, const QString& masterFile, const QString& budget,
                       platform::db::Recordset& rst) {
    if (query.GetRecordset(kMasterFileQuery, rst, {masterFile, budget}) != core::QueryObject::kRows)
        return false;
    return rst.recordCount() == 1;
}

QString TextOf(const platform::db::Recordset& row, const QString& field) {
    return row.isNull(field) ? QString() : row.value(field).toString();
}

QString JoinPath(const QString& folder, const QString& name) {
    return folder.endsWith(u'/') ? folder + name : folder + u'/' + name;
}

QString DecodedTextOf(const platform::db::Recordset& row, const QString& field) {
    const QString stored = TextOf(row, field);
    return stored.isEmpty() ? QString() : core::DecodeString(stored);
}

StoredPasswords StoredPasswordsOf(const platform::db::Recordset& row) {
    return {DecodedTextOf(row, QStringLiteral("WBOpen_Password")),
            DecodedTextOf(row, QStringLiteral("WBWrite_Password"))};
}

} // namespace workbooks
