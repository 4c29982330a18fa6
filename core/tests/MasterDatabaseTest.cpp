// Checks the master database that the build makes from core/masterdb/lumimaster.sql, the file
// that ships with the program: the budgets table's standard columns, the listed data tables and
// their placeholder rows, the stored views, the print list, the column sizes the engine enforces
// and the auto-numbered keys. Every test works on its own copy of the built file.
#include "core/MasterDatabaseTables.h"
#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "platform/db/Recordset.h"
#include "platform/db/Transaction.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <QStringList>
#include <gtest/gtest.h>

using platform::db::ColumnInfo;
using platform::db::Connection;
using platform::db::ConnectionString;
using platform::db::DbError;
using platform::db::Recordset;
using platform::db::TableInfo;
using platform::db::TableType;
using platform::db::Transaction;

namespace {

const QString kPlaceholder = QStringLiteral("<Dummy record>");

QString builtMasterDatabase() {
    return QStringLiteral(LUMIVANE_MASTER_DB);
}

bool isText(const ColumnInfo& column) {
    return column.declaredType.startsWith(QStringLiteral("VARCHAR"), Qt::CaseInsensitive) && column.size > 0;
}

QStringList columnNames(const TableInfo& table) {
    QStringList names;
    for (const ColumnInfo& column : table.columns)
        names << column.name;
    return names;
}

// Lists compare as one readable text, so a failure shows the names.
std::string joined(const QStringList& names) {
    return names.join(QStringLiteral(", ")).toStdString();
}

std::string sortedJoined(QStringList names) {
    names.sort();
    return joined(names);
}

QString quoted(const QString& name) {
    return QLatin1Char('"') + name + QLatin1Char('"');
}

class MasterDatabaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        const QString built = builtMasterDatabase();
        ASSERT_TRUE(QFile::exists(built)) << "the build has not made " << built.toStdString();
        path_ = testsupport::freshDir(QStringLiteral("masterdb")) + QStringLiteral("/lumimaster.mdb");
        ASSERT_TRUE(QFile::copy(built, path_));
        QFile::setPermissions(path_, QFile::ReadOwner | QFile::WriteOwner);
        ConnectionString cs;
        cs.set(ConnectionString::kDataSource, path_);
        db_.open(cs);
    }

    TableInfo tableOrFail(const QString& name) {
        const std::optional<TableInfo> info = db_.table(name);
        EXPECT_TRUE(info.has_value()) << name.toStdString() << " is missing";
        return info.value_or(TableInfo{});
    }

    QStringList listedTables() {
        QStringList names;
        Recordset rs = Recordset::open(db_, QStringLiteral("SELECT Table_Name FROM TablesList"));
        for (; !rs.eof(); rs.moveNext())
            names << rs.value(0).toString();
        return names;
    }

    QString path_;
    Connection db_;
};

TEST_F(MasterDatabaseTest, BudgetsHasExactlyItsFourteenStandardColumnsInOrder) {
    const TableInfo budgets = tableOrFail(QStringLiteral("Budgets"));
    const QStringList expected = {"Budget_Name",
                                  "Active",
                                  "Storage",
                                  "LumiXL",
                                  "Budget_Date",
                                  "Admin_Name",
                                  "DB_Storage_Filename",
                                  "DB_Create_Date",
                                  "Budget_Description",
                                  "Budget_Period",
                                  "Period_Start_Date",
                                  "Period_End_Date",
                                  "Budget_Modified_Date",
                                  "DB_Storage_Path"};
    EXPECT_EQ(joined(columnNames(budgets)), joined(expected));
    // The start-up check counts the fields of this query.
    Recordset rs =
        Recordset::open(db_, QStringLiteral("SELECT * FROM Budgets WHERE Budget_Name Is Not Null"));
    EXPECT_EQ(rs.fieldCount(), 14);
}

// Copies between databases go by column position, so the order of these tables is their format.
TEST_F(MasterDatabaseTest, TablesKeepTheirColumnOrder) {
    const struct {
        const char* table;
        QStringList columns;
    } cases[] = {
        {"MasterFiles",
         {"Master_File", "Templates", "Folder_Name", "Process_Date", "Drive", "Path", "MF_Modified_Date",
          "Budget_Name", "ID_MasterFiles", "WBOpen_Password", "WBWrite_Password", "MFPwdsSet"}},
        {"Worksheets",
         {"Worksheet_Name", "Select_By_User", "Folder_Name", "File_Missing", "UF_Create_Date",
          "UF_Modified_Date", "User_Filename", "UFNPath", "Master_File", "MF_Table_Create_Date",
          "MF_Table_Modify_Date", "MF_Table_Name", "MF_Table_Changed_Date", "Budget_Name", "MasterFiles_ID",
          "WS_Password", "Corrupt_Error", "UF_Copy_Values", "ID_Worksheets"}},
        {"UserFileTablesData",
         {"User_Filename", "Users", "Select_By_User", "Email_Sent", "UserFile_Update", "Lockout_User_Updates",
          "Due_Date", "ID_UFTD", "Master_File", "Budget_Name", "Folder_Name", "Table_Create_Date",
          "Attachment"}},
        {"Admin",
         {"Admin_Name", "Admin_Email_Address", "Mail_Server", "Pop3_Server", "Pop3_Account", "Default",
          "Default_Robot", "RecType"}},
        {"UsersData", {"Users", "Email_Address", "Folder_Name"}},
        {"FolderNames", {"Folder_Name"}},
        {"Subject", {"Subject"}},
        {"BodyText", {"Body_Text"}},
        {"SuperAdminUser", {"Super_Admin_Name", "Copy_Permissions", "View_Mode"}},
        {"Templates", {"Template_Name", "Template_Path"}},
        {"Errors",
         {"ID",
          "Error_Date",
          "UF_name",
          "UF_table",
          "MF_table",
          "Row_number",
          "Col_number",
          "A1Style",
          "RecordLength_Error",
          "Formula_Error",
          "Truncate_Error",
          "Corrupt_Error",
          "Protected_Error",
          "Error_Corrected",
          "File_Missing",
          "Table_Missing",
          "Sync_Error",
          "UFPassArrayFailed",
          "Budget_Name",
          "File_In_Use",
          "MF_Name",
          "MF_Value",
          "Change_Value"}},
        {"TablesList", {"Table_Name"}},
        {"Print", {"Document_Name", "Page_Header"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.table);
        const TableInfo info = tableOrFail(QString::fromLatin1(c.table));
        EXPECT_EQ(info.type, TableType::Table);
        EXPECT_EQ(joined(columnNames(info)), joined(c.columns));
    }
}

TEST_F(MasterDatabaseTest, EveryListedTableExistsWithATextFirstColumnAndItsPlaceholder) {
    const QStringList listed = listedTables();
    ASSERT_FALSE(listed.isEmpty());
    EXPECT_EQ(sortedJoined(listed),
              sortedJoined({"Budgets", "MasterFiles", "Worksheets", "UserFileTablesData", "Admin",
                            "FolderNames", "UsersData", "Subject", "BodyText"}));
    for (const QString& name : listed) {
        SCOPED_TRACE(name.toStdString());
        const TableInfo info = tableOrFail(name);
        ASSERT_FALSE(info.columns.isEmpty());
        EXPECT_EQ(info.type, TableType::Table);
        EXPECT_TRUE(isText(info.columns.first())) << info.columns.first().declaredType.toStdString();
        EXPECT_GE(db_.scalar(QStringLiteral("SELECT COUNT(*) FROM %1").arg(quoted(name))).toInt(), 1);
        EXPECT_EQ(db_.scalar(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2 = ?")
                                 .arg(quoted(name), quoted(info.columns.first().name)),
                             {kPlaceholder})
                      .toInt(),
                  1);
    }
}

TEST_F(MasterDatabaseTest, EveryTableButTheErrorsLogHasATextFirstColumn) {
    for (const TableInfo& info : db_.tables()) {
        if (info.type != TableType::Table || info.name == QStringLiteral("Errors"))
            continue;
        SCOPED_TRACE(info.name.toStdString());
        ASSERT_FALSE(info.columns.isEmpty());
        EXPECT_TRUE(isText(info.columns.first())) << info.columns.first().declaredType.toStdString();
    }
}

TEST_F(MasterDatabaseTest, AdministratorAccountsBelongOnlyToANetworkCopy) {
    EXPECT_FALSE(db_.table(QStringLiteral("AdminUsers")).has_value());
    EXPECT_FALSE(listedTables().contains(QStringLiteral("AdminUsers"), Qt::CaseInsensitive));
    // The profile table ships with its placeholder, beside which the network set-up adds the real row.
    EXPECT_EQ(db_.scalar(QStringLiteral("SELECT Super_Admin_Name FROM SuperAdminUser")).toString(),
              kPlaceholder);
}

TEST_F(MasterDatabaseTest, TheFourStoredViewsCarryTheColumnsTheirReadersRelateOn) {
    const struct {
        const char* view;
        QStringList columns;
    } cases[] = {
        {"BudgetsView", {"Budget_Name"}},
        {"MasterFilesView", {"Budget_Name", "Master_File", "ID_MasterFiles"}},
        {"WorksheetsView",
         {"Budget_Name", "Master_File", "MasterFiles_ID", "User_Filename", "Worksheet_Name"}},
        {"UFTDView", {"Budget_Name", "User_Filename"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.view);
        const TableInfo info = tableOrFail(QString::fromLatin1(c.view));
        EXPECT_EQ(info.type, TableType::View);
        for (const QString& column : c.columns)
            EXPECT_GE(info.columnIndex(column), 0) << column.toStdString();
    }
    // The budget tree takes a budget's name from the first field of its row.
    EXPECT_EQ(columnNames(tableOrFail(QStringLiteral("BudgetsView"))).value(0),
              QStringLiteral("Budget_Name"));
}

// A master workbook, worksheet and user file of one name in two budgets stay apart in the views.
TEST_F(MasterDatabaseTest, ViewsTellTheRowsOfTwoBudgetsApart) {
    for (const QString& budget : {QStringLiteral("North"), QStringLiteral("South")}) {
        db_.execute(QStringLiteral("INSERT INTO Budgets (Budget_Name) VALUES (?)"), {budget});
        db_.execute(
            QStringLiteral("INSERT INTO MasterFiles (Master_File, Budget_Name) VALUES ('Plan.xlsx', ?)"),
            {budget});
        const qint64 id = db_.lastInsertId();
        db_.execute(QStringLiteral("INSERT INTO Worksheets (Worksheet_Name, Master_File, MasterFiles_ID, "
                                   "User_Filename, Budget_Name) VALUES ('Sales', 'Plan.xlsx', ?, "
                                   "'Sales.xlsx', ?)"),
                    {id, budget});
        db_.execute(QStringLiteral("INSERT INTO UserFileTablesData (User_Filename, Users, Budget_Name) "
                                   "VALUES ('Sales.xlsx', ?, ?)"),
                    {budget + QStringLiteral(" user"), budget});
    }
    const struct {
        const char* sql;
        const char* expected;
    } cases[] = {
        {"SELECT Budget_Name FROM MasterFilesView WHERE Master_File = 'Plan.xlsx' ORDER BY Budget_Name",
         "North,South"},
        {"SELECT w.Budget_Name FROM WorksheetsView w JOIN MasterFilesView m "
         "ON w.MasterFiles_ID = m.ID_MasterFiles AND w.Budget_Name = m.Budget_Name ORDER BY w.Budget_Name",
         "North,South"},
        {"SELECT u.Users FROM UFTDView u JOIN WorksheetsView w "
         "ON u.User_Filename = w.User_Filename AND u.Budget_Name = w.Budget_Name "
         "WHERE w.Budget_Name = 'South'",
         "South user"},
        {"SELECT Budget_Name FROM BudgetsView WHERE Budget_Name <> '<Dummy record>'", "North,South"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sql);
        QStringList values;
        Recordset rs = Recordset::open(db_, QString::fromLatin1(c.sql));
        for (; !rs.eof(); rs.moveNext())
            values << rs.value(0).toString();
        EXPECT_EQ(values.join(QLatin1Char(',')), QString::fromLatin1(c.expected));
    }
}

TEST_F(MasterDatabaseTest, PrintListNamesEachPrintableGridOnceWithAPageHeader) {
    const QStringList grids = {"FolderNames table",      "Errors table",       "Master files table",
                               "User file assign table", "Users status table", "UsersData table",
                               "Worksheets table"};
    QStringList names;
    Recordset rs = Recordset::open(db_, QStringLiteral("SELECT * FROM Print"));
    for (; !rs.eof(); rs.moveNext()) {
        const QString name = rs.value(QStringLiteral("Document_Name")).toString();
        EXPECT_TRUE(grids.contains(name)) << name.toStdString();
        EXPECT_FALSE(rs.value(QStringLiteral("Page_Header")).toString().trimmed().isEmpty())
            << name.toStdString();
        names << name;
    }
    // Each grid once: a name listed twice would be offered twice in the print window.
    EXPECT_EQ(sortedJoined(names), sortedJoined(grids));
}

// Every sized text column of every table takes a value of its full size and refuses one more
// character; every yes/no column refuses anything but 0 and 1.
TEST_F(MasterDatabaseTest, EngineRefusesValuesTheirColumnsCannotHold) {
    int textColumns = 0;
    for (const TableInfo& info : db_.tables()) {
        if (info.type != TableType::Table)
            continue;
        for (const ColumnInfo& column : info.columns) {
            SCOPED_TRACE((info.name + QLatin1Char('.') + column.name).toStdString());
            const QString insert =
                QStringLiteral("INSERT INTO %1 (%2) VALUES (?)").arg(quoted(info.name), quoted(column.name));
            Transaction undo(db_); // rolled back at the end of each column
            if (isText(column)) {
                ++textColumns;
                EXPECT_NO_THROW(db_.execute(insert, {QString(column.size, QLatin1Char('x'))}));
                try {
                    db_.execute(insert, {QString(column.size + 1, QLatin1Char('x'))});
                    ADD_FAILURE() << "a value longer than " << column.size << " characters was stored";
                } catch (const DbError& e) {
                    EXPECT_EQ(e.number(), DbError::kValueTooLong) << e.description().toStdString();
                }
            } else if (column.declaredType.compare(QStringLiteral("YESNO"), Qt::CaseInsensitive) == 0) {
                EXPECT_FALSE(column.nullable);
                EXPECT_NO_THROW(db_.execute(insert, {1}));
                EXPECT_THROW(db_.execute(insert, {2}), DbError);
            }
        }
    }
    EXPECT_GT(textColumns, 50);
}

TEST_F(MasterDatabaseTest, KeysNumberThemselvesAndAreNotReused) {
    const struct {
        const char* table;
        const char* key;
        const char* first;
    } cases[] = {
        {"MasterFiles", "ID_MasterFiles", "Master_File"},
        {"Worksheets", "ID_Worksheets", "Worksheet_Name"},
        {"UserFileTablesData", "ID_UFTD", "User_Filename"},
        {"Errors", "ID", "UF_name"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.table);
        const QString table = QString::fromLatin1(c.table);
        const TableInfo info = tableOrFail(table);
        const int keyIndex = info.columnIndex(QString::fromLatin1(c.key));
        ASSERT_GE(keyIndex, 0);
        EXPECT_TRUE(info.columns[keyIndex].autoIncrement);

        qint64 keys[2] = {0, 0};
        for (qint64& key : keys) {
            Recordset rs = Recordset::forAppend(db_, table);
            rs.addNew();
            rs.setValue(QString::fromLatin1(c.first), QStringLiteral("row"));
            rs.update();
            key = rs.value(QString::fromLatin1(c.key)).toLongLong();
            EXPECT_GT(key, 0);
        }
        EXPECT_GT(keys[1], keys[0]);

        // A deleted last row does not give its number to the next one.
        db_.execute(QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(quoted(table), quoted(c.key)),
                    {keys[1]});
        db_.execute(
            QStringLiteral("INSERT INTO %1 (%2) VALUES ('again')").arg(quoted(table), quoted(c.first)));
        EXPECT_GT(db_.lastInsertId(), keys[1]);
    }
    // No other column numbers itself: Budgets in particular has no key column of its own.
    int autoNumbered = 0;
    for (const TableInfo& info : db_.tables())
        for (const ColumnInfo& column : info.columns)
            autoNumbered += (info.type == TableType::Table && column.autoIncrement) ? 1 : 0;
    EXPECT_EQ(autoNumbered, 4);
}

// A user file's new row must read as unassigned, never mailed, without due date, not waiting for
// an update and not locked out.
TEST_F(MasterDatabaseTest, NewUserFileRowReadsAsFreshWithoutSettingItsState) {
    db_.execute(
        QStringLiteral("INSERT INTO UserFileTablesData (User_Filename, Select_By_User, Master_File, "
                       "Budget_Name, Folder_Name) VALUES ('Sales.xlsx', 1, 'Plan.xlsx', 'North', 'East')"));
    Recordset rs =
        Recordset::open(db_, QStringLiteral("SELECT * FROM UserFileTablesData WHERE Budget_Name = 'North'"));
    ASSERT_EQ(rs.recordCount(), 1);
    EXPECT_TRUE(rs.isNull(QStringLiteral("Users")));
    EXPECT_TRUE(rs.isNull(QStringLiteral("Email_Sent")));
    EXPECT_TRUE(rs.isNull(QStringLiteral("Due_Date")));
    EXPECT_EQ(rs.value(QStringLiteral("UserFile_Update")).toInt(), 0);
    EXPECT_EQ(rs.value(QStringLiteral("Lockout_User_Updates")).toInt(), 0);
    EXPECT_EQ(rs.value(QStringLiteral("Attachment")).toInt(), 0);
}

// The program's own tables are added where the database lacks them, in one commit; on a current
// database the routines that call this before each use write nothing and take no write lock:
// another program's open write transaction does not hold them up.
TEST_F(MasterDatabaseTest, AddedTablesAreCreatedWhereMissingAndCostNoWriteOtherwise) {
    struct Case {
        const char* name;
        const char* dropped;
        qint64 commits;
    };
    const Case cases[] = {
        {"a table missing", "CollectedMessages", 1},
        {"a current database", nullptr, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.dropped)
            db_.dropTable(QString::fromLatin1(c.dropped));
        Connection other;
        other.open(db_.connectionString());
        if (!c.dropped)
            other.beginTransaction(); // held by another writer all along
        const qint64 before = Connection::commitCount();
        core::AddMissingTables(db_);
        EXPECT_EQ(Connection::commitCount() - before, c.commits);
        for (const char* table : {"UserFileCuts", "CollectedMessages", "ReportedMessages"})
            EXPECT_TRUE(db_.table(QString::fromLatin1(table)).has_value()) << table;
    }
}

} // namespace
