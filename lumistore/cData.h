// cData: one data-source connection for a caller that wants to read an outside data source
// without handling the engine's errors itself. It connects either by data-source name,
// user and password (Connect), or by a complete connection string (XLSConnect), opens
// recordsets, lists the tables, executes statements and brackets transactions. Every
// operation answers with a result and fills a caller-owned error text in cError's layout;
// nothing is raised.
//
// What a connection reaches:
// - a database file: the string's Data Source, else DBQ, else the DBQ inside Extended
//   Properties='...', with its database password (PWD or Jet OLEDB:Database Password);
// - a workbook (.xlsx, .xlsm) named there: each worksheet is read into a table of its own,
//   "<sheet name>$", with the columns F1, F2, ... and one row for every row of the sheet's
//   used block, first row included. The tables are a private copy: the workbook itself is
//   never written. A legacy .xls workbook is refused;
// - a data-source name (DSN=...) without a file: the settings store names its file, under
//   the application "DataSources", section <name>, key "DBQ".
#pragma once

#include "lumistore/LumistoreExport.h"

#include <QString>
#include <QtGlobal>
#include <memory>

namespace platform::db {
class Recordset;
}

namespace lumistore {

class LUMISTORE_EXPORT cData {
public:
    // Answers of OpenRecordSet and ExecuteSQL.
    static constexpr qint32 kDone = 0;
    static constexpr qint32 kNoRows = 2;
    static constexpr qint32 kFailed = -99;

    // Command types of ExecuteSQL: a statement, or the name of a table to open.
    static constexpr qint32 adCmdText = 1;
    static constexpr qint32 adCmdTable = 2;
    static constexpr qint32 adCmdUnknown = 8;
    static constexpr qint32 adCmdTableDirect = 512;

    // Where the settings store keeps the files of data-source names.
    static inline const QString kDataSourcesApplication = QStringLiteral("DataSources");
    static inline const QString kDataSourceFileKey = QStringLiteral("DBQ");

    cData();
    // Disconnects.
    ~cData();
    cData(const cData&) = delete;
    cData& operator=(const cData&) = delete;

    // Opens strSQL on the connection: kDone with the recordset on its first row, kNoRows
    // ("No records retrieved") with an open, empty recordset, kFailed ("Unable to retrieve
    // data"). strError is emptied first.
    qint32 OpenRecordSet(const QString& strSQL, platform::db::Recordset& rst, QString& strError,
                         bool blnReadOnly = true);

    // Connects with ConnectString. On failure strError says "Unable to connect to <Server>
    // database"; on success it is left as it was.
    bool Connect(QString& strError);

    // The table list of the connection: TABLE_CATALOG, TABLE_SCHEMA, TABLE_NAME, TABLE_TYPE
    // ("TABLE" or "VIEW"), in the order the tables were made (a workbook's sheets in tab
    // order). False with "No schema data retrieved" when there is none, "Unable to retrieve
    // database schema information" when it cannot be read; strError is not emptied first.
    bool OpenSchema(platform::db::Recordset& rst, QString& strError);

    // Connects with XLSConnectString; on failure strError says "Unable to connect".
    bool XLSConnect(QString& strError);

    // Closes and lets go of the connection when it is open; never fails.
    void Disconnect();

    const QString& Password() const { return password_; }
    const QString& XLSConnectString() const { return xlsConnectString_; }
    // "DSN=<Server>;UID=<UserID>;PWD=<Password>;" when all three are set, else "". Values
    // holding a separator are quoted.
    QString ConnectString() const;
    const QString& UserID() const { return userId_; }
    const QString& Server() const { return server_; }
    // Each stores the value without surrounding blanks.
    void setXLSConnectString(const QString& value) { xlsConnectString_ = value.trimmed(); }
    void setServer(const QString& value) { server_ = value.trimmed(); }
    void setUserID(const QString& value) { userId_ = value.trimmed(); }
    void setPassword(const QString& value) { password_ = value.trimmed(); }

    // Rolls back the connection's transaction; never fails.
    void RollBackTrans();
    // strError is emptied first; a failure rolls back and says "Cannot begin a transaction"
    // or "Cannot commit database changes".
    bool BeginTrans(QString& strError);
    bool CommitTrans(QString& strError);

    // Executes a statement (adCmdText, adCmdUnknown) or opens a table by name (adCmdTable,
    // adCmdTableDirect), discarding what it returns: kDone, or kFailed with "Error executing
    // SQL statement". On success strError is not touched.
    qint32 ExecuteSQL(const QString& strSQL, qint32 adCmdType, QString& strError);

private:
    struct Impl;
    bool open(const QString& connectionString, const QString& message, const QString& procedure,
              QString& strError);

    std::unique_ptr<Impl> d_;
    QString server_;
    QString userId_;
    QString password_;
    QString xlsConnectString_;
};

} // namespace lumistore
