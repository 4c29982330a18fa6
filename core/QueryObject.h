// What the query objects cDB2 and cDB3 (and the update engine, which carries the same
// GetRecordset) have in common: one database connection of their own, opened on first use
// with the master database's connection string (gCnn->LumiCnn()) and closed when the
// object is released, and GetRecordset, which opens a query as an updatable recordset and
// answers with a status code, so callers test a number instead of handling errors.
#pragma once

#include "core/AppTitle.h"
#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "platform/db/Recordset.h"

#include <QString>
#include <QVariantList>
#include <QtGlobal>

namespace core {

class QueryObject {
public:
    // Status codes of GetRecordset.
    static constexpr qint32 kRows = 0;   // rows found; the recordset is on the first row
    static constexpr qint32 kNoRows = 2; // no rows; the recordset is open, at its end
    // The database refused the password, or its password was changed by another program
    // since this object's connection opened it; the message was shown.
    static constexpr qint32 kLogonRefused = -2;
    static constexpr qint32 kFailed = -99; // any other failure; nothing was shown

    // The message of GetRecordset for a refused database password (one changed elsewhere is
    // told in the database layer's own words).
    static inline const QString kLogonRefusedText =
        QStringLiteral("The database file is corrupted or illegal.  Re-install the product.");

    explicit QueryObject(QString title = appTitle());
    // Closes the connection when it is open.
    virtual ~QueryObject();
    QueryObject(const QueryObject&) = delete;
    QueryObject& operator=(const QueryObject&) = delete;

    // Opens strSQL (with its bound values) into rst. When the connection cannot be opened,
    // rst keeps what it held; when the query cannot be opened, rst is a closed recordset.
    qint32 GetRecordset(const QString& strSQL, platform::db::Recordset& rst, const QVariantList& params = {});
    // Opens the connection with gCnn->LumiCnn() when it is closed; a failure is thrown as a
    // platform::db::DbError.
    void SetConnection();
    // The object's connection (closed until GetRecordset or SetConnection opened it).
    platform::db::Connection& Cnn() { return cnn_; }

private:
    qint32 failure(const platform::db::DbError& error);

    QString title_;
    platform::db::Connection cnn_;
};

} // namespace core
