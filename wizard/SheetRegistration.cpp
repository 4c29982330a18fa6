// See SheetRegistration.h.
#include "wizard/SheetRegistration.h"

#include "platform/db/Recordset.h"
#include "platform/sys/Edition.h"
#include "platform/sys/PlaceholderRow.h"
#include "platform/ui/Ui.h"
#include "workbooks/MasterFileRow.h"

namespace wizard {

namespace {

const QString kListedSheet =
    QStringLiteral("SELECT Master_File FROM Worksheets WHERE Worksheet_Name = ? COLLATE NOCASE_U "
                   "AND Budget_Name = ? COLLATE NOCASE_U ORDER BY rowid LIMIT 1");
const QString kAddSheet = QStringLiteral(
    "INSERT INTO Worksheets (Worksheet_Name, Master_File, Budget_Name, MasterFiles_ID, WS_Password, "
    "Select_By_User, Folder_Name) VALUES (?, ?, ?, ?, ?, ?, ?)");

} // namespace

bool SheetNameIsFree(platform::db::Connection& cnn, const QString& sheetName, const QString& masterFile,
                     const QString& budget) {
    platform::db::Recordset listed = platform::db::Recordset::open(cnn, kListedSheet, {sheetName, budget});
    if (listed.eof())
        return true;
    QString owner = workbooks::TextOf(listed, QStringLiteral("Master_File"));
    listed.close();
    if (owner.isEmpty())
        owner = platform::sys::kPlaceholderText;
    if (owner.compare(masterFile, Qt::CaseInsensitive) != 0)
        platform::ui::msgBox(kDuplicateSheetText.arg(sheetName, masterFile, owner), platform::ui::Buttons::Ok,
                             platform::sys::Edition::desktop().messageTitle);
    return false;
}

void AddSheetRow(platform::db::Connection& cnn, const NewSheetRow& row) {
    cnn.execute(kAddSheet, {row.sheetName, row.masterFile, row.budget, row.masterFileId,
                            row.scrambledPassword, row.picked ? 1 : 0, row.folder});
}

} // namespace wizard
