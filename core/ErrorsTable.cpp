// The errors table's definition, reset and writers; see ErrorsTable.h.
#include "core/ErrorsTable.h"

#include "core/AppTitle.h"
#include "core/ErrorMessage.h"
#include "core/FormUnload.h"
#include "core/MasterDatabaseTables.h"
#include "core/RunGuard.h"
#include "core/cDB2.h"
#include "core/cDB3.h"
#include "core/cOptions.h"
#include "platform/db/CommitBatch.h"
#include "platform/db/Connection.h"
#include "platform/db/Recordset.h"
#include "platform/db/Transaction.h"
#include "platform/sys/SettingsStore.h"
#include "platform/ui/Ui.h"

#include <QDateTime>

namespace core {

// Kept statement for statement equal to the CREATE TABLE Errors of the master database's
// schema script (a test compares them), so that a reset gives the table the program shipped.
// clang-format off
const QString kErrorsTableDefinition = QStringLiteral(
    "CREATE TABLE Errors (\n"
    "    ID INTEGER PRIMARY KEY AUTOINCREMENT,\n"
    "    Error_Date DATETIME,\n"
    "    UF_name VARCHAR(100) CONSTRAINT \"size:UF_name\" CHECK (length(UF_name) <= 100),\n"
    "    UF_table VARCHAR(50) CONSTRAINT \"size:UF_table\" CHECK (length(UF_table) <= 50),\n"
    "    MF_table VARCHAR(50) CONSTRAINT \"size:MF_table\" CHECK (length(MF_table) <= 50),\n"
    "    Row_number INTEGER,\n"
    "    Col_number INTEGER,\n"
    "    A1Style VARCHAR(50) CONSTRAINT \"size:A1Style\" CHECK (length(A1Style) <= 50),\n"
    "    RecordLength_Error YESNO NOT NULL DEFAULT 0 CONSTRAINT \"yesno:RecordLength_Error\" CHECK (RecordLength_Error IN (0,1)),\n"
    "    Formula_Error YESNO NOT NULL DEFAULT 0 CONSTRAINT \"yesno:Formula_Error\" CHECK (Formula_Error IN (0,1)),\n"
    "    Truncate_Error YESNO NOT NULL DEFAULT 0 CONSTRAINT \"yesno:Truncate_Error\" CHECK (Truncate_Error IN (0,1)),\n"
    "    Corrupt_Error YESNO NOT NULL DEFAULT 0 CONSTRAINT \"yesno:Corrupt_Error\" CHECK (Corrupt_Error IN (0,1)),\n"
    "    Protected_Error YESNO NOT NULL DEFAULT 0 CONSTRAINT \"yesno:Protected_Error\" CHECK (Protected_Error IN (0,1)),\n"
    "    Error_Corrected YESNO NOT NULL DEFAULT 0 CONSTRAINT \"yesno:Error_Corrected\" CHECK (Error_Corrected IN (0,1)),\n"
    "    File_Missing YESNO NOT NULL DEFAULT 0 CONSTRAINT \"yesno:File_Missing\" CHECK (File_Missing IN (0,1)),\n"
    "    Table_Missing YESNO NOT NULL DEFAULT 0 CONSTRAINT \"yesno:Table_Missing\" CHECK (Table_Missing IN (0,1)),\n"
    "    Sync_Error YESNO NOT NULL DEFAULT 0 CONSTRAINT \"yesno:Sync_Error\" CHECK (Sync_Error IN (0,1)),\n"
    "    UFPassArrayFailed YESNO NOT NULL DEFAULT 0 CONSTRAINT \"yesno:UFPassArrayFailed\" CHECK (UFPassArrayFailed IN (0,1)),\n"
    "    Budget_Name VARCHAR(100) CONSTRAINT \"size:Budget_Name\" CHECK (length(Budget_Name) <= 100),\n"
    "    File_In_Use YESNO NOT NULL DEFAULT 0 CONSTRAINT \"yesno:File_In_Use\" CHECK (File_In_Use IN (0,1)),\n"
    "    MF_Name VARCHAR(100) CONSTRAINT \"size:MF_Name\" CHECK (length(MF_Name) <= 100),\n"
    "    MF_Value VARCHAR(255) CONSTRAINT \"size:MF_Value\" CHECK (length(MF_Value) <= 255),\n"
    "    Change_Value VARCHAR(255) CONSTRAINT \"size:Change_Value\" CHECK (length(Change_Value) <= 255)\n"
    ")");
// clang-format on

namespace {

// The first n characters of text, counted as the database counts them (a character outside
// the basic plane is one character, and is never split).
QString firstCharacters(const QString& text, qsizetype n) {
    qsizetype characters = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (characters == n)
            return text.left(i);
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        ++characters;
    }
    return text;
}

// Sets a text field, cut to the size of its column.
void setText(platform::db::Recordset& row, const QString& field, const QString& text) {
    const int index = row.fieldIndex(field);
    const int size = index >= 0 ? row.field(index).size : 0;
    row.setValue(field, size > 0 ? firstCharacters(text, size) : text);
}

qint64 yesNo(bool flag) {
    return flag ? 1 : 0;
}

// Adds rows to the Errors table through gDB3 without reading the table, in one transaction:
// fill sets the columns of the new row of that number. Storing failures are thrown (the rows
// before kept); letting go afterwards answers false.
template <typename Fill> bool writeErrorRows(std::size_t count, Fill fill) {
    if (!gDB3)
        gDB3 = std::make_unique<cDB3>();
    gDB3->SetConnection();
    platform::db::Recordset rows = platform::db::Recordset::forAppend(gDB3->Cnn(), kErrorsTableName);
    {
        platform::db::CommitBatch batch(gDB3->Cnn());
        batch.begin();
        for (std::size_t n = 0; n < count; ++n) {
            rows.addNew();
            fill(n, rows);
            rows.update();
        }
        batch.commit();
    }
    try {
        rows.close();
        gDB3.reset();
        return true;
    } catch (const std::exception&) {
        platform::ui::msgBox(
            QStringLiteral("Processing errors are occuring.  The Error table isn't responding."),
            platform::ui::Buttons::Ok, appTitle());
        return false;
    }
}

template <typename Fill> bool writeErrorRow(Fill fill) {
    return writeErrorRows(1, [&](std::size_t, platform::db::Recordset& row) { fill(row); });
}

void setCellError(platform::db::Recordset& r, const CellError& e) {
    r.setValue(QStringLiteral("Row_number"), e.row);
    r.setValue(QStringLiteral("Col_number"), e.column);
    if (e.cellAddress.isValid() && !e.cellAddress.isNull())
        setText(r, QStringLiteral("A1Style"), e.cellAddress.toString());
    setText(r, QStringLiteral("UF_name"), e.userFileName);
    setText(r, QStringLiteral("UF_table"), e.userFileSheet);
    setText(r, QStringLiteral("MF_table"), e.masterSheet);
    r.setValue(QStringLiteral("Error_Date"), QDateTime::currentDateTime());
    r.setValue(QStringLiteral("Truncate_Error"), yesNo(e.truncateError));
    r.setValue(QStringLiteral("Corrupt_Error"), yesNo(e.corruptError));
    r.setValue(QStringLiteral("RecordLength_Error"), yesNo(e.recordLengthError));
    r.setValue(QStringLiteral("Formula_Error"), yesNo(e.formulaError));
    r.setValue(QStringLiteral("Protected_Error"), yesNo(e.protectedError));
    r.setValue(QStringLiteral("Sync_Error"), yesNo(e.syncError));
    setText(r, QStringLiteral("Budget_Name"), gOptions ? gOptions->BudgetNameContext : QString());
    setText(r, QStringLiteral("MF_Name"), e.masterFileName);
    setText(r, QStringLiteral("MF_Value"), e.masterValue);
    setText(r, QStringLiteral("Change_Value"), e.changedValue);
}

} // namespace

bool TableExists(const QString& name, platform::db::Connection& connection) {
    const auto table = connection.table(name);
    return table && table->type == platform::db::TableType::Table;
}

QString TruncateTo255(const QString& text) {
    return firstCharacters(text, 255);
}

void ResetErrorsTable() {
    if (RunGuard::refuseDuringRun(appTitle()))
        return;
    try {
        UnloadForm(QStringLiteral("frmDataTable"));
        UnloadForm(QStringLiteral("frmWizard"));
        gDB2 = std::make_unique<cDB2>();
        gDB2->SetConnection();
        platform::db::Connection& connection = gDB2->Cnn();
        {
            // Dropped and created in one transaction: a failure keeps the old table.
            platform::db::Transaction transaction(connection);
            if (TableExists(kErrorsTableName, connection))
                connection.dropTable(kErrorsTableName);
            connection.execute(kErrorsTableDefinition);
            AddMissingIndexes(connection); // the dropped table took its index with it
            transaction.commit();
        }
        gDB3.reset();
        gDB2.reset();
        platform::sys::writeSetting(platform::sys::settingsApplication(), QStringLiteral("Runtime"),
                                    QStringLiteral("UncorrectedErrors"), QStringLiteral("0"));
    } catch (const std::exception& error) {
        ShowErrorMessage(error, appTitle());
    }
}

bool LogCellError(qint32 row, qint32 column, bool truncateError, bool corruptError, bool recordLengthError,
                  const QVariant& cellAddress, const QString& userFileName, const QString& userFileSheet,
                  const QString& masterSheet, const QString& masterFileName, const QString& masterValue,
                  const QString& changedValue, bool formulaError, bool protectedError, bool syncError) {
    return LogCellErrors({CellError{row, column, truncateError, corruptError, recordLengthError, cellAddress,
                                    userFileName, userFileSheet, masterSheet, masterFileName, masterValue,
                                    changedValue, formulaError, protectedError, syncError}});
}

bool LogCellErrors(const std::vector<CellError>& errors) {
    if (errors.empty())
        return true;
    return writeErrorRows(errors.size(),
                          [&](std::size_t n, platform::db::Recordset& r) { setCellError(r, errors[n]); });
}

bool LogFileMissingError(const QString& userFileName, bool fileMissing, const QString& budgetName) {
    return writeErrorRow([&](platform::db::Recordset& r) {
        r.setValue(QStringLiteral("File_Missing"), yesNo(fileMissing));
        setText(r, QStringLiteral("UF_name"), userFileName);
        r.setValue(QStringLiteral("Error_Date"), QDateTime::currentDateTime());
        setText(r, QStringLiteral("Budget_Name"), budgetName);
    });
}

bool LogMasterPasswordError(const QString& masterFileName, const QString& budgetName) {
    return writeErrorRow([&](platform::db::Recordset& r) {
        r.setValue(QStringLiteral("Protected_Error"), yesNo(true));
        setText(r, QStringLiteral("MF_Name"), masterFileName);
        r.setValue(QStringLiteral("Error_Date"), QDateTime::currentDateTime());
        setText(r, QStringLiteral("Budget_Name"), budgetName);
    });
}

bool LogUserFileError(const QString& userFileName, const QString& masterFileName, const QString& reason,
                      const QString& budgetName, const QDateTime& lastWrite) {
    const QString logged = firstCharacters(reason + QStringLiteral(" (the file as written ") +
                                               lastWrite.toString(Qt::ISODate) + QStringLiteral(")"),
                                           255);
    if (!gDB3)
        gDB3 = std::make_unique<cDB3>();
    gDB3->SetConnection();
    if (gDB3->Cnn()
            .scalar(
                QStringLiteral("SELECT COUNT(*) FROM Errors WHERE UFPassArrayFailed = 1 AND UF_name = ? "
                               "COLLATE NOCASE_U AND Budget_Name = ? COLLATE NOCASE_U AND Change_Value = ?"),
                {userFileName, budgetName, logged})
            .toLongLong() > 0)
        return true;
    return writeErrorRow([&](platform::db::Recordset& r) {
        r.setValue(QStringLiteral("UFPassArrayFailed"), yesNo(true));
        setText(r, QStringLiteral("UF_name"), userFileName);
        setText(r, QStringLiteral("MF_Name"), masterFileName);
        setText(r, QStringLiteral("Change_Value"), logged);
        r.setValue(QStringLiteral("Error_Date"), QDateTime::currentDateTime());
        setText(r, QStringLiteral("Budget_Name"), budgetName);
    });
}

bool LogMasterSaveError(const QString& masterFileName, const QString& reason, const QString& budgetName) {
    return writeErrorRow([&](platform::db::Recordset& r) {
        setText(r, QStringLiteral("MF_Name"), masterFileName);
        setText(r, QStringLiteral("Change_Value"), firstCharacters(reason, 255));
        r.setValue(QStringLiteral("Error_Date"), QDateTime::currentDateTime());
        setText(r, QStringLiteral("Budget_Name"), budgetName);
    });
}

bool LogFileInUseError(const QString& masterFileName, const QString& userFileName, bool fileInUse,
                       const QString& budgetName) {
    return writeErrorRow([&](platform::db::Recordset& r) {
        r.setValue(QStringLiteral("File_In_Use"), yesNo(fileInUse));
        setText(r, QStringLiteral("MF_Name"), masterFileName);
        setText(r, QStringLiteral("UF_name"), userFileName);
        r.setValue(QStringLiteral("Error_Date"), QDateTime::currentDateTime());
        setText(r, QStringLiteral("Budget_Name"), budgetName);
    });
}

} // namespace core
