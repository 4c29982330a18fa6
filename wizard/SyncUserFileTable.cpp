// See SyncUserFileTable.h. The worksheets of the context are read with the conditions of a
// row to keep; the register's rows of the context are read once and found by name in memory.
#include "wizard/SyncUserFileTable.h"

#include "core/ErrorMessage.h"
#include "core/cDB2.h"
#include "core/cOptions.h"
#include "platform/db/Recordset.h"

#include <map>

namespace wizard {

namespace {

using platform::db::Recordset;

const QString kBuiltWorksheets = QStringLiteral(
    "SELECT User_Filename, Master_File, Budget_Name, Folder_Name FROM Worksheets "
    "WHERE Budget_Name = ? COLLATE NOCASE_U AND Select_By_User = 1 AND UF_Create_Date IS NOT NULL "
    "AND User_Filename IS NOT NULL AND User_Filename <> '' ORDER BY rowid");
const QString kRegisterRows =
    QStringLiteral("SELECT * FROM UserFileTablesData WHERE Budget_Name = ? COLLATE NOCASE_U");

QString text(const Recordset& row, const QString& field) {
    return row.isNull(field) ? QString() : row.value(field).toString();
}

// The register's rows by user file name, compared as the register compares them (without regard
// to case); each name marks the first row that holds it. Built once, so that finding the row of
// a worksheet costs the same however many rows the budget has.
struct NoCaseLess {
    bool operator()(const QString& a, const QString& b) const {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    }
};
using RowsByName = std::map<QString, int, NoCaseLess>;

RowsByName rowsByName(Recordset& rows) {
    RowsByName marks;
    for (; !rows.eof(); rows.moveNext())
        marks.emplace(text(rows, QStringLiteral("User_Filename")), rows.bookmark());
    return marks;
}

void addRow(Recordset& rows, const Recordset& sheet) {
    rows.addNew();
    for (const char* field : {"User_Filename", "Master_File", "Budget_Name", "Folder_Name"}) {
        const QString name = QString::fromLatin1(field);
        rows.setValue(name, sheet.value(name));
    }
    rows.setValue(QStringLiteral("Select_By_User"), 1);
    rows.update();
}

} // namespace

void SyncUserFileTable() {
    try {
        const QString context = core::gOptions ? core::gOptions->BudgetNameContext : QString();
        core::gDB2 = std::make_unique<core::cDB2>();
        core::gDB2->SetConnection();
        Recordset sheets = Recordset::open(core::gDB2->Cnn(), kBuiltWorksheets, {context});
        Recordset rows;
        if (!sheets.eof()) {
            rows = Recordset::open(core::gDB2->Cnn(), kRegisterRows, {context});
            RowsByName marks = rowsByName(rows);
            for (; !sheets.eof(); sheets.moveNext()) {
                const QString folder = text(sheets, QStringLiteral("Folder_Name"));
                const QString userFile = text(sheets, QStringLiteral("User_Filename"));
                const auto found = marks.find(userFile);
                if (found == marks.end()) {
                    addRow(rows, sheets);
                    marks.emplace(userFile, rows.bookmark());
                    continue;
                }
                rows.moveToBookmark(found->second);
                if (text(rows, QStringLiteral("Folder_Name")) != folder) {
                    rows.setValue(QStringLiteral("Folder_Name"), sheets.value(QStringLiteral("Folder_Name")));
                    rows.update();
                }
            }
        }
        sheets.close();
        rows.close();
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error);
    }
    core::gDB2.reset();
}

} // namespace wizard
