// The errors table on a real master database: the three writers (every column they fill,
// texts cut to their columns, the budget taken from the context or the argument, cell rows
// beyond 16 bits), the reset (one definition with the schema script, refusal during a run,
// the windows it closes) and the table check.
#include "core/ErrorsTable.h"

#include "MasterDbFixture.h"
#include "core/RunGuard.h"
#include "platform/db/DbError.h"
#include "platform/db/Recordset.h"
#include "platform/db/SqlText.h"
#include "platform/ui/LoadedWindows.h"
#include "support/ScriptedUi.h"

#include <QDateTime>
#include <QRegularExpression>

using platform::db::Connection;
using platform::db::DbError;
using platform::db::Recordset;

namespace {

class ErrorsTableTest : public coretest::MasterDbFixture {
protected:
    // The one row of the Errors table (the shipped table is empty).
    Recordset onlyRow() {
        Connection db = openMaster();
        Recordset rows = Recordset::open(db, QStringLiteral("SELECT * FROM Errors"));
        EXPECT_EQ(rows.recordCount(), 1);
        return rows;
    }

    qint64 errorCount() {
        Connection db = openMaster();
        return db.scalar(QStringLiteral("SELECT count(*) FROM Errors")).toLongLong();
    }

    static void expectNowish(const QVariant& stored, const QDateTime& before, const QDateTime& after) {
        const QDateTime when = platform::db::parseDateTime(stored.toString());
        ASSERT_TRUE(when.isValid()) << stored.toString().toStdString();
        EXPECT_GE(when, before.addSecs(-1));
        EXPECT_LE(when, after.addSecs(1));
    }
};

QString normalisedSql(QString text) {
    return text.replace(QRegularExpression(QStringLiteral("\\s+")), QStringLiteral(" ")).trimmed();
}

} // namespace

TEST_F(ErrorsTableTest, CellErrorFillsItsColumnsAndTakesTheBudgetFromTheContext) {
    core::gOptions->BudgetNameContext = QStringLiteral("Sales 2024");
    const QDateTime before = QDateTime::currentDateTime();
    EXPECT_TRUE(core::LogCellError(100000, 16384, true, false, true, QStringLiteral("XFD100000"),
                                   "north.xlsx", "North", "Sales", "sales.xlsx", "1200", "1350"));
    const QDateTime after = QDateTime::currentDateTime();
    EXPECT_EQ(core::gDB3, nullptr) << "the writer lets go of gDB3";

    Recordset row = onlyRow();
    EXPECT_EQ(row.value("Row_number").toLongLong(), 100000) << "rows beyond 32,767 are kept whole";
    EXPECT_EQ(row.value("Col_number").toLongLong(), 16384);
    EXPECT_EQ(row.value("A1Style").toString(), "XFD100000");
    EXPECT_EQ(row.value("UF_name").toString(), "north.xlsx");
    EXPECT_EQ(row.value("UF_table").toString(), "North");
    EXPECT_EQ(row.value("MF_table").toString(), "Sales");
    EXPECT_EQ(row.value("MF_Name").toString(), "sales.xlsx");
    EXPECT_EQ(row.value("MF_Value").toString(), "1200");
    EXPECT_EQ(row.value("Change_Value").toString(), "1350");
    EXPECT_EQ(row.value("Budget_Name").toString(), "Sales 2024");
    EXPECT_EQ(row.value("Truncate_Error").toLongLong(), 1);
    EXPECT_EQ(row.value("Corrupt_Error").toLongLong(), 0);
    EXPECT_EQ(row.value("RecordLength_Error").toLongLong(), 1);
    expectNowish(row.value("Error_Date"), before, after);
    for (const char* flag : {"File_Missing", "File_In_Use", "Formula_Error", "Protected_Error",
                             "Error_Corrected", "Table_Missing", "Sync_Error", "UFPassArrayFailed"})
        EXPECT_EQ(row.value(flag).toLongLong(), 0) << flag;
}

TEST_F(ErrorsTableTest, CellErrorWithoutAnAddressStoresNull) {
    EXPECT_TRUE(
        core::LogCellError(3, 4, false, true, false, QVariant(), "u.xlsx", "S", "S", "m.xlsx", "", ""));
    Recordset row = onlyRow();
    EXPECT_TRUE(row.isNull("A1Style"));
    EXPECT_FALSE(row.isNull("MF_Value")) << "an empty value is stored as empty text, not Null";
    EXPECT_EQ(row.value("Corrupt_Error").toLongLong(), 1);
}

TEST_F(ErrorsTableTest, CellErrorCarriesTheFormulaAndProtectedFlags) {
    for (const auto& [formula, locked] : {std::pair{true, false}, std::pair{false, true}}) {
        EXPECT_TRUE(core::LogCellError(2, 3, false, false, false, QStringLiteral("C2"), "u.xlsx", "1", "0",
                                       "m.xlsx", "=B2*2", "7", formula, locked));
        Recordset row = onlyRow();
        EXPECT_EQ(row.value("Formula_Error").toLongLong(), formula ? 1 : 0);
        EXPECT_EQ(row.value("Protected_Error").toLongLong(), locked ? 1 : 0);
        EXPECT_EQ(row.value("Corrupt_Error").toLongLong(), 0);
        openMaster().execute(QStringLiteral("DELETE FROM Errors"));
    }
}

TEST_F(ErrorsTableTest, EveryTextIsCutToItsColumn) {
    core::gOptions->BudgetNameContext = QString(150, 'b');
    const QString longText(400, 'x');
    EXPECT_TRUE(core::LogCellError(1, 1, false, false, false, longText, longText, longText, longText,
                                   longText, longText, longText));
    Recordset row = onlyRow();
    const std::pair<const char*, int> sizes[] = {
        {"A1Style", 50},  {"UF_name", 100},  {"UF_table", 50},      {"MF_table", 50},
        {"MF_Name", 100}, {"MF_Value", 255}, {"Change_Value", 255}, {"Budget_Name", 100}};
    for (const auto& [column, size] : sizes)
        EXPECT_EQ(row.value(column).toString().size(), size) << column;
    EXPECT_EQ(row.value("Budget_Name").toString(), QString(100, 'b'));
}

TEST_F(ErrorsTableTest, CuttingCountsCharactersAndNeverSplitsOne) {
    // 101 characters outside the basic plane: two UTF-16 units each, one character each in the
    // database's own count.
    QString wide;
    for (int i = 0; i < 101; ++i)
        wide += QString::fromUcs4(U"\U0001F600");
    EXPECT_TRUE(core::LogFileMissingError(wide, true, "B"));
    Recordset row = onlyRow();
    const QString stored = row.value("UF_name").toString();
    EXPECT_EQ(stored.size(), 200);
    EXPECT_EQ(stored.toUcs4().size(), 100);
}

TEST_F(ErrorsTableTest, FileMissingAndFileInUseTakeTheBudgetFromTheirArgument) {
    core::gOptions->BudgetNameContext = QStringLiteral("Context budget");
    const QDateTime before = QDateTime::currentDateTime();
    EXPECT_TRUE(core::LogFileMissingError("gone.xlsx", true, "Budget A"));
    EXPECT_EQ(core::gDB3, nullptr);
    EXPECT_TRUE(core::LogFileInUseError("master.xlsx", "busy.xlsx", true, "Budget B"));
    EXPECT_EQ(core::gDB3, nullptr);
    const QDateTime after = QDateTime::currentDateTime();

    Connection db = openMaster();
    Recordset rows = Recordset::open(db, QStringLiteral("SELECT * FROM Errors ORDER BY ID"));
    ASSERT_EQ(rows.recordCount(), 2);
    EXPECT_EQ(rows.value("UF_name").toString(), "gone.xlsx");
    EXPECT_EQ(rows.value("File_Missing").toLongLong(), 1);
    EXPECT_EQ(rows.value("File_In_Use").toLongLong(), 0);
    EXPECT_EQ(rows.value("Budget_Name").toString(), "Budget A");
    EXPECT_TRUE(rows.isNull("MF_Name"));
    EXPECT_TRUE(rows.isNull("Row_number"));
    expectNowish(rows.value("Error_Date"), before, after);
    rows.moveNext();
    EXPECT_EQ(rows.value("MF_Name").toString(), "master.xlsx");
    EXPECT_EQ(rows.value("UF_name").toString(), "busy.xlsx");
    EXPECT_EQ(rows.value("File_In_Use").toLongLong(), 1);
    EXPECT_EQ(rows.value("File_Missing").toLongLong(), 0);
    EXPECT_EQ(rows.value("Budget_Name").toString(), "Budget B");
    expectNowish(rows.value("Error_Date"), before, after);
}

TEST_F(ErrorsTableTest, AWriterAddsToALongLogWithoutTouchingTheRowsThere) {
    {
        Connection db = openMaster();
        db.execute(
            QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 5000) "
                           "INSERT INTO Errors (UF_name, Budget_Name) SELECT 'old' || i, 'B' FROM n"));
    }
    EXPECT_TRUE(core::LogFileMissingError("new.xlsx", true, "B"));
    EXPECT_EQ(errorCount(), 5001);
    Connection db = openMaster();
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT UF_name FROM Errors ORDER BY ID DESC LIMIT 1")).toString(),
              "new.xlsx");
}

TEST_F(ErrorsTableTest, AWriterWithoutTheTableThrowsToItsCaller) {
    {
        Connection db = openMaster();
        db.dropTable(QStringLiteral("Errors"));
    }
    testsupport::ScopedScriptedUi ui;
    EXPECT_THROW(core::LogFileMissingError("x.xlsx", true, "B"), DbError);
    EXPECT_TRUE(ui->asked().empty()) << "the caller's own handler reports it";
}

TEST_F(ErrorsTableTest, TableExistsIgnoresCaseAndViews) {
    Connection db = openMaster();
    EXPECT_TRUE(core::TableExists(QStringLiteral("errors"), db));
    EXPECT_TRUE(core::TableExists(QStringLiteral("ERRORS"), db));
    db.dropTable(QStringLiteral("Errors"));
    db.execute(QStringLiteral("CREATE VIEW Errors AS SELECT Budget_Name FROM Budgets"));
    EXPECT_FALSE(core::TableExists(QStringLiteral("Errors"), db)) << "a view is not the table";
    EXPECT_FALSE(core::TableExists(QStringLiteral("NoSuchTable"), db));
}

TEST_F(ErrorsTableTest, TruncateTo255) {
    EXPECT_EQ(core::TruncateTo255(QString()), QString());
    EXPECT_EQ(core::TruncateTo255(QString(255, 'a')), QString(255, 'a'));
    EXPECT_EQ(core::TruncateTo255(QString(256, 'a') + "b"), QString(255, 'a'));
}

TEST_F(ErrorsTableTest, ResetEmptiesTheTableAndRecreatesTheShippedDefinition) {
    core::LogFileMissingError("a.xlsx", true, "B");
    core::LogFileMissingError("b.xlsx", true, "B");
    QWidget* explorer = loadFakeForm(QStringLiteral("frmDataTable"));
    QWidget* wizard = loadFakeForm(QStringLiteral("frmWizard"));
    Q_UNUSED(explorer);
    Q_UNUSED(wizard);
    testsupport::ScopedScriptedUi ui;

    core::ResetErrorsTable();
    EXPECT_TRUE(ui->asked().empty()) << ui->messageTexts().join('|').toStdString();
    EXPECT_EQ(errorCount(), 0);
    EXPECT_EQ(setting("Runtime", "UncorrectedErrors"), "0");
    EXPECT_FALSE(platform::ui::LoadedWindows::isLoaded("frmDataTable"));
    EXPECT_FALSE(platform::ui::LoadedWindows::isLoaded("frmWizard"));
    EXPECT_EQ(core::gDB2, nullptr);
    EXPECT_EQ(core::gDB3, nullptr);

    Connection db = openMaster();
    const QString created =
        db.scalar(QStringLiteral("SELECT sql FROM sqlite_master WHERE type = 'table' AND name = 'Errors'"))
            .toString();
    EXPECT_EQ(normalisedSql(created).toStdString(),
              normalisedSql(core::kErrorsTableDefinition).toStdString());
    EXPECT_EQ(db.scalar(QStringLiteral(
                            "SELECT name FROM sqlite_master WHERE type = 'index' AND tbl_name = 'Errors' "
                            "AND sql IS NOT NULL"))
                  .toString(),
              QStringLiteral("Errors_UserFile"))
        << "the table's index comes back with it";
    // The writers work on the new table.
    EXPECT_TRUE(core::LogFileMissingError("c.xlsx", true, "B"));
    EXPECT_EQ(errorCount(), 1);
}

TEST_F(ErrorsTableTest, ResetCreatesAMissingTable) {
    {
        Connection db = openMaster();
        db.dropTable(QStringLiteral("Errors"));
    }
    testsupport::ScopedScriptedUi ui;
    core::ResetErrorsTable();
    EXPECT_TRUE(ui->asked().empty());
    EXPECT_EQ(errorCount(), 0);
}

TEST_F(ErrorsTableTest, AFailedResetIsReportedAndWritesNoSetting) {
    {
        // A view holding the name: the table cannot be created.
        Connection db = openMaster();
        db.dropTable(QStringLiteral("Errors"));
        db.execute(QStringLiteral("CREATE VIEW Errors AS SELECT Budget_Name FROM Budgets"));
    }
    testsupport::ScopedScriptedUi ui;
    core::ResetErrorsTable();
    ASSERT_EQ(ui->messageTexts().size(), 1);
    EXPECT_TRUE(ui->messageTexts().front().startsWith("Error ")) << ui->messageTexts().front().toStdString();
    EXPECT_TRUE(ui->messageTexts().front().contains(" has occured. "));
    EXPECT_EQ(ui->asked().front().title, "Lumivane");
    EXPECT_EQ(setting("Runtime", "UncorrectedErrors"), "");
    Connection db = openMaster();
    EXPECT_TRUE(db.table(QStringLiteral("Errors")).has_value()) << "the view is left as it was";
}

TEST_F(ErrorsTableTest, ResetIsRefusedDuringARun) {
    core::LogFileMissingError("a.xlsx", true, "B");
    QWidget* explorer = loadFakeForm(QStringLiteral("frmDataTable"));
    testsupport::ScopedScriptedUi ui;
    {
        core::RunGuard::Token run;
        core::ResetErrorsTable();
    }
    EXPECT_EQ(ui->messageTexts(), QStringList{core::RunGuard::kRefusedText});
    EXPECT_EQ(errorCount(), 1);
    EXPECT_TRUE(platform::ui::LoadedWindows::isLoaded("frmDataTable"));
    delete explorer;
}

TEST(ErrorsTableDefinition, MatchesTheMasterDatabaseScript) {
    QFile script(
        QStringLiteral("%1/core/masterdb/lumimaster.sql").arg(qEnvironmentVariable("LUMIVANE_SOURCE_DIR")));
    ASSERT_TRUE(script.open(QIODevice::ReadOnly)) << script.fileName().toStdString();
    const QString text = QString::fromUtf8(script.readAll());
    const qsizetype start = text.indexOf(QStringLiteral("CREATE TABLE Errors ("));
    ASSERT_GE(start, 0);
    const qsizetype end = text.indexOf(QStringLiteral(");"), start);
    ASSERT_GT(end, start);
    EXPECT_EQ(normalisedSql(text.mid(start, end - start + 1)).toStdString(),
              normalisedSql(core::kErrorsTableDefinition).toStdString());
}
