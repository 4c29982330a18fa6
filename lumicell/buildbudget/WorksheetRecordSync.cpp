// See WorksheetRecordSync.h. Each table keeps one placeholder row when the rebuild emptied the
// master file's rows from it.
#include "lumicell/buildbudget/WorksheetRecordSync.h"

#include "core/AppTitle.h"
#include "core/ErrorMessage.h"
#include "core/cDB3.h"
#include "lumicell/AddIn.h"
#include "lumicell/cOptions.h"
#include "platform/db/Recordset.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "platform/sys/Edition.h"
#include "platform/sys/PlaceholderRow.h"
#include "platform/ui/Ui.h"
#include "wizard/SheetRegistration.h"
#include "workbooks/CreateUserFiles.h"
#include "workbooks/WaitWindowSteps.h"
#include "workbooks/WaitingAnswers.h"

#include <QDateTime>
#include <optional>

namespace lumicell {

namespace {

using platform::db::Connection;
using platform::db::Recordset;

const QString kWritingText = QStringLiteral("Writing worksheet names to table");
const QString kUpdatingText = QStringLiteral("Updating database with Worksheet names");
const QString kOfMaster =
    QStringLiteral(" WHERE Master_File = ? COLLATE NOCASE_U AND Budget_Name = ? COLLATE NOCASE_U");

QVariantList masterAndBudget() {
    return {gOptions()->MasterFilename, gOptions()->BudgetNameContext};
}

void tell(const QString& text) {
    platform::ui::msgBox(text, platform::ui::Buttons::Ok, core::appTitle());
}

// The key of the master file's one row in the budget; none when there are none or several.
std::optional<qint64> masterFileKey(Connection& cnn) {
    Recordset rows = Recordset::open(
        cnn, QStringLiteral("SELECT ID_MasterFiles FROM MasterFiles") + kOfMaster, masterAndBudget());
    if (rows.recordCount() != 1)
        return std::nullopt;
    return rows.value(0).toLongLong();
}

// Deletes the master file's rows of the table, leaving one placeholder row when it deleted any.
void emptyTable(Connection& cnn, const QString& table, const QString& placeholderColumns) {
    const qint64 deleted = cnn.execute(QStringLiteral("DELETE FROM ") + table + kOfMaster, masterAndBudget());
    if (deleted == 0)
        return;
    const QString firstColumn = placeholderColumns.section(u',', 0, 0).trimmed();
    Recordset placeholder =
        Recordset::open(cnn,
                        QStringLiteral("SELECT 1 FROM ") + table + QStringLiteral(" WHERE ") + firstColumn +
                            QStringLiteral(" = ?"),
                        {platform::sys::kPlaceholderText});
    if (!placeholder.eof())
        return;
    const int count = placeholderColumns.count(u',') + 1;
    QVariantList values;
    QStringList marks;
    for (int i = 0; i < count; ++i) {
        values << platform::sys::kPlaceholderText;
        marks << QStringLiteral("?");
    }
    cnn.execute(QStringLiteral("INSERT INTO ") + table + QStringLiteral(" (") + placeholderColumns +
                    QStringLiteral(") VALUES (") + marks.join(QStringLiteral(", ")) + u')',
                values);
}

} // namespace

QStringList WorksheetRecordNames() {
    core::cDB3 query;
    query.SetConnection();
    Recordset rows = Recordset::open(query.Cnn(),
                                     QStringLiteral("SELECT Worksheet_Name FROM Worksheets") + kOfMaster +
                                         QStringLiteral(" AND Worksheet_Name <> '' ORDER BY Worksheet_Name"),
                                     masterAndBudget());
    QStringList names;
    for (; !rows.eof(); rows.moveNext())
        names << rows.value(0).toString();
    return names;
}

bool AddWorksheetRecord(const QString& sheetName) {
    if (sheetName.isEmpty()) {
        tell(kEmptySheetNameText);
        return false;
    }
    core::cDB3 query;
    query.SetConnection();
    Connection& cnn = query.Cnn();
    const cOptions& options = *gOptions();
    if (!wizard::SheetNameIsFree(cnn, sheetName, options.MasterFilename, options.BudgetNameContext))
        return false;
    const std::optional<qint64> key = masterFileKey(cnn);
    if (!key) {
        tell(workbooks::kNoMasterRowText);
        return false;
    }
    wizard::NewSheetRow row;
    row.sheetName = sheetName;
    row.masterFile = options.MasterFilename;
    row.budget = options.BudgetNameContext;
    row.masterFileId = *key;
    wizard::AddSheetRow(cnn, row);
    return true;
}

std::optional<qint64> WorksheetRecordId(Connection& cnn, const QString& sheetName) {
    QVariantList params = masterAndBudget();
    params.prepend(sheetName);
    Recordset rows =
        Recordset::open(cnn,
                        QStringLiteral("SELECT ID_Worksheets, Worksheet_Name FROM Worksheets WHERE "
                                       "Worksheet_Name = ? COLLATE NOCASE_U AND Master_File = ? COLLATE "
                                       "NOCASE_U AND Budget_Name = ? COLLATE NOCASE_U ORDER BY rowid"),
                        params);
    for (; !rows.eof(); rows.moveNext())
        if (rows.value(1).toString() == sheetName)
            return rows.value(0).toLongLong();
    return std::nullopt;
}

bool DeleteWorksheetRecord(const QString& sheetName) {
    core::cDB3 query;
    query.SetConnection();
    const std::optional<qint64> record = WorksheetRecordId(query.Cnn(), sheetName);
    if (!record)
        return false;
    query.Cnn().execute(QStringLiteral("DELETE FROM Worksheets WHERE ID_Worksheets = ?"), {*record});
    return true;
}

void ResyncWorksheetRecords(const platform::sheet::Workbook& book) {
    QStringList duplicates;
    try {
        core::cDB3 query;
        query.SetConnection();
        Connection& cnn = query.Cnn();
        const std::optional<qint64> key = masterFileKey(cnn);
        if (!key) {
            tell(workbooks::kNoMasterRowText);
            return;
        }
        const cOptions& options = *gOptions();
        const QStringList waiting =
            workbooks::UserFilesWithWaitingAnswers(cnn, options.MasterFilename, options.BudgetNameContext);
        if (!waiting.isEmpty() &&
            platform::ui::msgBox(kClearWaitingAnswersQuestion.arg(waiting.join(u'\n')),
                                 platform::ui::Buttons::YesNo, core::appTitle(),
                                 platform::ui::Icon::Exclamation) != platform::ui::Answer::Yes)
            return;
        const workbooks::WaitWindowScope wait;
        workbooks::ShowWaitStep(options.MasterFilename, QString(), QString(), kWritingText, 0, 0);
        cnn.beginTransaction();
        try {
            emptyTable(cnn, QStringLiteral("UserFileTablesData"), QStringLiteral("User_Filename"));
            emptyTable(cnn, QStringLiteral("Worksheets"),
                       QStringLiteral("Worksheet_Name, Master_File, Budget_Name"));
            const std::vector<platform::sheet::Worksheet*> sheets = book.worksheets();
            int count = 0;
            for (const platform::sheet::Worksheet* sheet : sheets) {
                workbooks::ShowWaitStep(options.MasterFilename, QString(), sheet->name(), kUpdatingText,
                                        ++count, int(sheets.size()));
                Recordset owner =
                    Recordset::open(cnn,
                                    QStringLiteral("SELECT Master_File FROM Worksheets WHERE "
                                                   "Worksheet_Name = ? COLLATE NOCASE_U AND Budget_Name = "
                                                   "? COLLATE NOCASE_U ORDER BY rowid LIMIT 1"),
                                    {sheet->name(), options.BudgetNameContext});
                if (!owner.eof()) {
                    duplicates << wizard::kDuplicateSheetText.arg(sheet->name(), options.MasterFilename,
                                                                  owner.value(0).toString());
                    continue;
                }
                wizard::NewSheetRow row;
                row.sheetName = sheet->name();
                row.masterFile = options.MasterFilename;
                row.budget = options.BudgetNameContext;
                row.masterFileId = *key;
                wizard::AddSheetRow(cnn, row);
            }
            cnn.execute(QStringLiteral("UPDATE MasterFiles SET Process_Date = ? WHERE ID_MasterFiles = ?"),
                        {QDateTime::currentDateTime(), *key});
            cnn.commit();
        } catch (...) {
            cnn.rollback();
            throw;
        }
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error);
        return;
    }
    for (const QString& text : duplicates)
        platform::ui::msgBox(text, platform::ui::Buttons::Ok, platform::sys::Edition::desktop().messageTitle);
}

} // namespace lumicell
