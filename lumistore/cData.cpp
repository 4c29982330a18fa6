// See cData.h. Every failure of the layers below is caught here, collected as an error of
// the connection and turned into the answer and the caller's error text.
#include "lumistore/cData.h"

#include "lumistore/DataSource.h"
#include "lumistore/Failure.h"
#include "lumistore/cError.h"
#include "platform/db/ConnectionString.h"
#include "platform/db/DbError.h"
#include "platform/db/Recordset.h"
#include "platform/db/SqlText.h"

namespace lumistore {

namespace {

using platform::db::DbError;
using platform::db::Recordset;

// The library's one error formatter; its application title is never set.
const cError& formatter() {
    static const cError shared;
    return shared;
}

// The table list, in the order the tables were made (rowid order of the engine's catalogue).
const QString kSchemaQuery = QStringLiteral(
    "SELECT NULL AS TABLE_CATALOG, NULL AS TABLE_SCHEMA, name AS TABLE_NAME, "
    "CASE type WHEN 'view' THEN 'VIEW' ELSE 'TABLE' END AS TABLE_TYPE "
    "FROM sqlite_master WHERE type IN ('table', 'view') AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' "
    "ORDER BY rowid");

} // namespace

struct cData::Impl {
    DataSource source;
    DataSourceErrors errors;

    // What the connection's errors say, when they hold a real error.
    QString errorDetails() const {
        return formatter().ADOError(errors) ? formatter().FormatADOErrorText(errors) : QString();
    }
    // Collects the exception being handled as an error of the connection.
    void collect() { errors << currentFailure(); }
};

cData::cData()
    : d_(std::make_unique<Impl>()) {}

cData::~cData() {
    Disconnect();
}

QString cData::ConnectString() const {
    if (server_.isEmpty() || userId_.isEmpty() || password_.isEmpty())
        return {};
    platform::db::ConnectionString text;
    text.set(platform::db::ConnectionString::kDsn, server_);
    text.set(platform::db::ConnectionString::kUid, userId_);
    text.set(platform::db::ConnectionString::kPwd, password_);
    return text.toString() + QLatin1Char(';');
}

bool cData::open(const QString& connectionString, const QString& message, const QString& procedure,
                 QString& strError) {
    d_->errors.clear();
    try {
        d_->source.open(connectionString);
        return true;
    } catch (...) {
        d_->collect();
    }
    strError = formatter().FormatErrorText(message, procedure, d_->errorDetails());
    return false;
}

bool cData::Connect(QString& strError) {
    return open(ConnectString(),
                QStringLiteral("Unable to connect to ") + server_ + QStringLiteral(" database"),
                QStringLiteral("Connect"), strError);
}

bool cData::XLSConnect(QString& strError) {
    return open(xlsConnectString_, QStringLiteral("Unable to connect"), QStringLiteral("XLSConnect"),
                strError);
}

void cData::Disconnect() {
    d_->source.close();
}

qint32 cData::OpenRecordSet(const QString& strSQL, Recordset& rst, QString& strError, bool blnReadOnly) {
    Q_UNUSED(blnReadOnly); // the recordset is a snapshot either way
    strError.clear();
    try {
        rst = Recordset();
        platform::db::Connection& connection = d_->source.connection();
        d_->errors.clear();
        try {
            rst = Recordset::open(connection, strSQL);
        } catch (...) {
            d_->collect();
            strError = formatter().FormatErrorText(QStringLiteral("Unable to retrieve data"),
                                                   QStringLiteral("OpenRecordSet"), d_->errorDetails());
            return kFailed;
        }
        if (rst.eof()) {
            strError = QStringLiteral("No records retrieved");
            return kNoRows;
        }
        rst.moveFirst();
        return kDone;
    } catch (...) {
        // A failure outside the query itself (no connection): the run-time error's own lines.
        strError = formatter().FormatErrorText(strError, QStringLiteral("OpenRecordSet"), QString());
        return kFailed;
    }
}

bool cData::OpenSchema(Recordset& rst, QString& strError) {
    rst = Recordset();
    d_->errors.clear();
    try {
        rst = Recordset::open(d_->source.connection(), kSchemaQuery);
    } catch (...) {
        d_->collect();
        strError =
            formatter().FormatErrorText(QStringLiteral("Unable to retrieve database schema information"),
                                        QStringLiteral("OpenSchema"), d_->errorDetails());
        return false;
    }
    if (rst.eof()) {
        strError = QStringLiteral("No schema data retrieved");
        return false;
    }
    rst.moveFirst();
    return true;
}

qint32 cData::ExecuteSQL(const QString& strSQL, qint32 adCmdType, QString& strError) {
    d_->errors.clear();
    try {
        platform::db::Connection& connection = d_->source.connection();
        switch (adCmdType) {
        case adCmdText:
        case adCmdUnknown:
            connection.execute(strSQL);
            break;
        case adCmdTable:
        case adCmdTableDirect:
            Recordset::open(connection,
                            QStringLiteral("SELECT * FROM ") + platform::db::quoteIdentifier(strSQL));
            break;
        default:
            throw DbError(DbError::kInvalidOperation,
                          QStringLiteral("The command type %1 is not supported.").arg(adCmdType));
        }
        return kDone;
    } catch (...) {
        d_->collect();
    }
    strError = formatter().FormatErrorText(QStringLiteral("Error executing SQL statement"),
                                           QStringLiteral("ExecuteSQL"), d_->errorDetails());
    return kFailed;
}

bool cData::BeginTrans(QString& strError) {
    strError.clear();
    d_->errors.clear();
    try {
        d_->source.connection().beginTransaction();
        return true;
    } catch (...) {
        d_->collect();
    }
    strError = formatter().FormatErrorText(QStringLiteral("Cannot begin a transaction"),
                                           QStringLiteral("BeginTrans"), d_->errorDetails());
    RollBackTrans();
    return false;
}

bool cData::CommitTrans(QString& strError) {
    strError.clear();
    d_->errors.clear();
    try {
        d_->source.connection().commit();
        return true;
    } catch (...) {
        d_->collect();
    }
    strError = formatter().FormatErrorText(QStringLiteral("Cannot commit database changes"),
                                           QStringLiteral("CommitTrans"), d_->errorDetails());
    RollBackTrans();
    return false;
}

void cData::RollBackTrans() {
    try {
        platform::db::Connection& connection = d_->source.connection();
        if (connection.inTransaction())
            connection.rollback();
    } catch (...) {
        // Rolling back never fails visibly.
    }
}

} // namespace lumistore
