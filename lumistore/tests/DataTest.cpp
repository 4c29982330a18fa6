// cData and cError on real database files: connecting by data-source name and by connection
// string, the answers 0, 2 and -99 with their error texts, the table list, statements and
// transactions, and the one layout of the error texts.
#include "StoreFixture.h"
#include "lumistore/Lumistore.h"
#include "platform/db/DbError.h"
#include "platform/db/Recordset.h"
#include "platform/sys/SettingsStore.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace {

using lumistore::cData;
using lumistore::cError;
using lumistore::DataSourceError;
using lumistore::DataSourceErrors;
using platform::db::DbError;
using platform::db::Recordset;
using storetest::connectionString;
using storetest::copyMaster;

const QString kCrLf = QStringLiteral("\r\n");

// The lines of an error text.
QStringList lines(const QString& text) {
    return text.split(kCrLf);
}

TEST(ConnectString, IsBuiltOnlyFromAllThreeTrimmedValues) {
    cData data;
    EXPECT_EQ(data.ConnectString(), QString());
    data.setServer(QStringLiteral("  Budgets  "));
    data.setPassword(QStringLiteral(" secret "));
    EXPECT_EQ(data.ConnectString(), QString()) << "no user";
    data.setUserID(QStringLiteral("\tadmin "));
    EXPECT_EQ(data.Server(), QStringLiteral("Budgets"));
    EXPECT_EQ(data.UserID(), QStringLiteral("admin"));
    EXPECT_EQ(data.Password(), QStringLiteral("secret"));
    EXPECT_EQ(data.ConnectString(), QStringLiteral("DSN=Budgets;UID=admin;PWD=secret;"));
    data.setPassword(QStringLiteral("se;cret"));
    EXPECT_EQ(data.ConnectString(), QStringLiteral("DSN=Budgets;UID=admin;PWD=\"se;cret\";"))
        << "a separator in a value is quoted";
    data.setXLSConnectString(QStringLiteral("  DBQ=/a/b.xlsx  "));
    EXPECT_EQ(data.XLSConnectString(), QStringLiteral("DBQ=/a/b.xlsx"));
}

class DataSource : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = copyMaster();
        platform::db::Connection::setPassword(path_, {}, QStringLiteral("pw"));
        platform::sys::writeSetting(cData::kDataSourcesApplication, QStringLiteral("Budgets"),
                                    cData::kDataSourceFileKey, path_);
    }

    // Connects through the data-source name "Budgets", which names the keyed copy.
    void connect(cData& data, const QString& password = QStringLiteral("pw")) {
        data.setServer(QStringLiteral(" Budgets "));
        data.setUserID(QStringLiteral("admin"));
        data.setPassword(password);
        QString error = QStringLiteral("untouched");
        ASSERT_TRUE(data.Connect(error)) << error.toStdString();
        EXPECT_EQ(error, QStringLiteral("untouched"));
    }

    QString path_;
};

TEST_F(DataSource, ConnectFailuresNameTheTrimmedServerAndTheEnginesError) {
    cData data;
    data.setServer(QStringLiteral(" Nowhere "));
    data.setUserID(QStringLiteral("admin"));
    data.setPassword(QStringLiteral("pw"));
    QString error;
    EXPECT_FALSE(data.Connect(error));
    QStringList text = lines(error);
    ASSERT_GE(text.size(), 4);
    EXPECT_EQ(text.mid(0, 3), (QStringList{QStringLiteral("Error Msg: Unable to connect to Nowhere database"),
                                           QString(), QStringLiteral("Procedure: Connect")}));
    EXPECT_EQ(text[3], QStringLiteral("Error Number: %1").arg(DbError::kInvalidPath));
    EXPECT_TRUE(text.contains(QStringLiteral("SQL State: 08001"))) << error.toStdString();

    data.setServer(QStringLiteral("Budgets"));
    data.setPassword(QStringLiteral("wrong"));
    EXPECT_FALSE(data.Connect(error));
    EXPECT_TRUE(lines(error).contains(QStringLiteral("Error Number: %1").arg(DbError::kAuthenticationFailed)))
        << error.toStdString();
    EXPECT_TRUE(lines(error).contains(QStringLiteral("SQL State: 28000")));

    data.setUserID(QString());
    EXPECT_FALSE(data.Connect(error)) << "without a user there is no connect string";
    EXPECT_TRUE(error.startsWith(QStringLiteral("Error Msg: Unable to connect to Budgets database")));
}

TEST_F(DataSource, OpenRecordSetAnswersZeroTwoAndMinus99) {
    cData data;
    connect(data);
    Recordset rows;
    QString error = QStringLiteral("stale");
    EXPECT_EQ(data.OpenRecordSet(QStringLiteral("SELECT Table_Name FROM TablesList"), rows, error),
              cData::kDone);
    EXPECT_EQ(error, QString());
    EXPECT_EQ(rows.absolutePosition(), 1);
    EXPECT_EQ(rows.value(0).toString(), QStringLiteral("Budgets"));

    EXPECT_EQ(data.OpenRecordSet(QStringLiteral("SELECT * FROM Errors"), rows, error), cData::kNoRows);
    EXPECT_EQ(error, QStringLiteral("No records retrieved"));
    EXPECT_TRUE(rows.isOpen());
    EXPECT_TRUE(rows.eof());

    EXPECT_EQ(data.OpenRecordSet(QStringLiteral("SELEKT nothing"), rows, error, false), cData::kFailed);
    const QStringList text = lines(error);
    EXPECT_EQ(text.mid(0, 3), (QStringList{QStringLiteral("Error Msg: Unable to retrieve data"), QString(),
                                           QStringLiteral("Procedure: OpenRecordSet")}));
    EXPECT_EQ(text[3], QStringLiteral("Error Number: %1").arg(DbError::kCommandError));
    EXPECT_EQ(text[4], QStringLiteral("Error Source: Lumivane database layer"));
    EXPECT_TRUE(text[5].startsWith(QStringLiteral("Description: "))) << error.toStdString();
    EXPECT_EQ(text.last(), QStringLiteral("SQL State: 42000"));
}

TEST_F(DataSource, WithoutAConnectionEveryOperationFailsWithItsText) {
    cData data;
    Recordset rows;
    QString error;
    EXPECT_EQ(data.OpenRecordSet(QStringLiteral("SELECT 1"), rows, error), cData::kFailed);
    EXPECT_EQ(error, QStringLiteral("Error Msg: \r\n\r\nProcedure: OpenRecordSet\r\nError Number: %1\r\n"
                                    "Error Source: Lumivane database layer\r\n"
                                    "Description: Operation is not allowed when the object is closed.")
                         .arg(DbError::kObjectClosed));
    EXPECT_FALSE(data.OpenSchema(rows, error));
    EXPECT_TRUE(
        error.startsWith(QStringLiteral("Error Msg: Unable to retrieve database schema information\r\n\r\n"
                                        "Procedure: OpenSchema\r\n")));
    EXPECT_EQ(data.ExecuteSQL(QStringLiteral("DELETE FROM Errors"), cData::adCmdText, error), cData::kFailed);
    EXPECT_TRUE(error.startsWith(
        QStringLiteral("Error Msg: Error executing SQL statement\r\n\r\nProcedure: ExecuteSQL")));
    EXPECT_FALSE(data.BeginTrans(error));
    EXPECT_TRUE(error.startsWith(
        QStringLiteral("Error Msg: Cannot begin a transaction\r\n\r\nProcedure: BeginTrans")));
    data.RollBackTrans();
    data.Disconnect();
}

TEST_F(DataSource, OpenSchemaListsTablesAndViewsInTheOrderTheyWereMade) {
    cData data;
    connect(data);
    Recordset tables;
    QString error = QStringLiteral("kept");
    ASSERT_TRUE(data.OpenSchema(tables, error));
    EXPECT_EQ(error, QStringLiteral("kept")) << "not emptied on success";
    EXPECT_EQ(tables.value(QStringLiteral("Table_Name")).toString(), QStringLiteral("Budgets"));
    QMap<QString, QString> types;
    for (; !tables.eof(); tables.moveNext())
        types.insert(tables.value(QStringLiteral("TABLE_NAME")).toString(),
                     tables.value(QStringLiteral("TABLE_TYPE")).toString());
    EXPECT_EQ(types.value(QStringLiteral("TablesList")), QStringLiteral("TABLE"));
    EXPECT_EQ(types.value(QStringLiteral("BudgetsView")), QStringLiteral("VIEW"));
    for (const QString& name : types.keys())
        EXPECT_FALSE(name.startsWith(QStringLiteral("sqlite_"))) << name.toStdString();

    cData empty;
    empty.setXLSConnectString(
        connectionString(storetest::makeDatabase(QStringLiteral("CREATE TABLE t (x); DROP TABLE t;"))));
    ASSERT_TRUE(empty.XLSConnect(error));
    EXPECT_FALSE(empty.OpenSchema(tables, error));
    EXPECT_EQ(error, QStringLiteral("No schema data retrieved"));
}

TEST_F(DataSource, ExecuteSQLAndTransactions) {
    cData data;
    connect(data);
    QString error = QStringLiteral("untouched");
    EXPECT_EQ(data.ExecuteSQL(QStringLiteral("INSERT INTO FolderNames (Folder_Name) VALUES ('Kept')"),
                              cData::adCmdText, error),
              cData::kDone);
    EXPECT_EQ(data.ExecuteSQL(QStringLiteral("Budgets"), cData::adCmdTable, error), cData::kDone);
    EXPECT_EQ(error, QStringLiteral("untouched"));
    EXPECT_EQ(data.ExecuteSQL(QStringLiteral("NoSuchTable"), cData::adCmdTable, error), cData::kFailed);
    EXPECT_TRUE(lines(error).contains(QStringLiteral("SQL State: 42S02"))) << error.toStdString();

    ASSERT_TRUE(data.BeginTrans(error));
    EXPECT_EQ(error, QString());
    data.ExecuteSQL(QStringLiteral("INSERT INTO FolderNames (Folder_Name) VALUES ('Rolled back')"),
                    cData::adCmdText, error);
    data.RollBackTrans();
    ASSERT_TRUE(data.BeginTrans(error));
    data.ExecuteSQL(QStringLiteral("INSERT INTO FolderNames (Folder_Name) VALUES ('Committed')"),
                    cData::adCmdText, error);
    EXPECT_TRUE(data.CommitTrans(error));

    Recordset rows;
    ASSERT_EQ(data.OpenRecordSet(
                  QStringLiteral("SELECT Folder_Name FROM FolderNames WHERE Folder_Name <> '<Dummy record>'"),
                  rows, error),
              cData::kDone);
    QStringList names;
    for (; !rows.eof(); rows.moveNext())
        names << rows.value(0).toString();
    EXPECT_EQ(names, (QStringList{QStringLiteral("Kept"), QStringLiteral("Committed")}));

    EXPECT_FALSE(data.CommitTrans(error)) << "nothing to commit";
    EXPECT_TRUE(error.startsWith(
        QStringLiteral("Error Msg: Cannot commit database changes\r\n\r\nProcedure: CommitTrans")));
    ASSERT_TRUE(data.BeginTrans(error));
    EXPECT_FALSE(data.BeginTrans(error)) << "one transaction at a time";
    EXPECT_TRUE(error.startsWith(QStringLiteral("Error Msg: Cannot begin a transaction")));

    // A recordset read before the disconnect stays readable afterwards.
    data.Disconnect();
    rows.moveFirst();
    EXPECT_EQ(rows.value(0).toString(), QStringLiteral("Kept"));
    EXPECT_EQ(data.OpenRecordSet(QStringLiteral("SELECT 1"), rows, error), cData::kFailed);
}

TEST(ErrorText, WithoutDetailsOrRunTimeErrorHasFiveLinesEndingInTheTitle) {
    cError formatter;
    formatter.setApplicationTitle(QStringLiteral("  Lumivane Data  "));
    EXPECT_EQ(formatter.ApplicationTitle(), QStringLiteral("Lumivane Data"));
    EXPECT_EQ(lines(formatter.FormatErrorText(QStringLiteral("It failed"), QStringLiteral("LoadExcelData"),
                                              QString())),
              (QStringList{QStringLiteral("Error Msg: It failed"), QString(),
                           QStringLiteral("Procedure: LoadExcelData"), QString(),
                           QStringLiteral("Error Source: Lumivane Data")}));
    EXPECT_EQ(formatter.FormatErrorText(QStringLiteral("m"), QStringLiteral("p"), QStringLiteral("details")),
              QStringLiteral("Error Msg: m\r\n\r\nProcedure: p\r\ndetails"));
}

TEST(ErrorText, InsideACatchBlockCarriesTheRunTimeError) {
    cError formatter;
    formatter.setApplicationTitle(QStringLiteral("LumivaneXL"));
    try {
        throw lumistore::LumistoreError(3021, QStringLiteral("No current record."));
    } catch (const lumistore::LumistoreError&) {
        EXPECT_EQ(formatter.FormatErrorText(QString(), QStringLiteral("LoadExcelData"), QString()),
                  QStringLiteral("Error Msg: \r\n\r\nProcedure: LoadExcelData\r\nError Number: 3021\r\n"
                                 "Error Source: LumivaneXL\r\nDescription: No current record."));
    }
    try {
        throw std::runtime_error("bad path");
    } catch (const std::exception&) {
        EXPECT_EQ(lines(formatter.FormatErrorText(QString(), QStringLiteral("p"), QString())).mid(3),
                  (QStringList{QStringLiteral("Error Number: %1").arg(DbError::kGeneral),
                               QStringLiteral("Error Source: LumivaneXL"),
                               QStringLiteral("Description: bad path")}));
    }
}

TEST(ErrorText, ConnectionErrorsFormatOneBlockPerErrorWithTheNonEmptyLinesOnly) {
    cError formatter;
    EXPECT_EQ(formatter.FormatADOErrorText({}), QString());
    const DataSourceErrors errors{
        {-2147217900, QStringLiteral("Engine"), QStringLiteral("Syntax error"), 1, QStringLiteral("42000")},
        {0, QString(), QStringLiteral("Changed database context"), 0, QStringLiteral("01000")}};
    EXPECT_EQ(
        formatter.FormatADOErrorText(errors),
        QStringLiteral("Error Number: -2147217900\r\nError Source: Engine\r\nDescription: Syntax error\r\n"
                       "Native Error: 1\r\nSQL State: 42000\r\n"
                       "\r\nDescription: Changed database context\r\nSQL State: 01000"));
}

TEST(ErrorText, WarningsAndSuccessStatesAreNoErrors) {
    cError formatter;
    EXPECT_FALSE(formatter.ADOError({}));
    EXPECT_FALSE(
        formatter.ADOError({DataSourceError{0, {}, QStringLiteral("warning"), 0, QStringLiteral("01000")}}));
    EXPECT_FALSE(formatter.ADOError({DataSourceError{0, {}, {}, 0, QStringLiteral("00000")},
                                     DataSourceError{0, {}, {}, 0, QStringLiteral("01000")}}));
    EXPECT_TRUE(formatter.ADOError({DataSourceError{0, {}, {}, 0, QStringLiteral("01000")},
                                    DataSourceError{5, {}, {}, 0, QStringLiteral("HY000")}}));
}

} // namespace
