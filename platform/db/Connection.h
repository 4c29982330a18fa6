// A connection to one database file, the stand-in for the program's database connections.
//
// open() takes a connection string (see ConnectionString): the file is its Data Source (or DBQ)
// and the database password its "Jet OLEDB:Database Password" (or PWD). Opening never creates
// a file; a missing file, an empty path and a refused password are errors of their own (see
// DbError). Every connection uses a rollback journal, a busy timeout and registers the
// case-insensitive Unicode collation NOCASE_U.
//
// Engine handles are pooled per file and key: closing a connection hands its handle back, and
// the next connection to the same file with the same key takes it over, so the costly key
// derivation of an encrypted file runs once, not for every query object. Two connections open
// at the same time always have two handles, and so two independent transactions.
//
// A connection is movable, not copyable. Recordsets opened on it keep working while it is
// open; after close() their writes fail with kObjectClosed.
#pragma once

#include "platform/db/ConnectionString.h"
#include "platform/db/Schema.h"

#include <QFileDevice>
#include <QVariant>
#include <QVariantList>
#include <memory>
#include <optional>

namespace platform::db {

struct ConnectionState;

class Connection {
public:
    // How long a statement waits for another connection's lock before it fails with kLocked.
    static constexpr int kBusyTimeoutMs = 10000;
    // The state values callers compare with: closed 0, open 1.
    static constexpr int kStateClosed = 0;
    static constexpr int kStateOpen = 1;

    Connection();
    ~Connection();
    Connection(Connection&&) noexcept;
    Connection& operator=(Connection&&) noexcept;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Opens the database the string names (closing this connection first if it is open).
    void open(const QString& connectionString);
    void open(const ConnectionString& connectionString);
    // Hands the engine handle back to the pool; a transaction still open is rolled back.
    void close();
    bool isOpen() const;
    int state() const;

    // The file and the connection string this connection was opened with ("" when closed).
    QString databasePath() const;
    QString connectionString() const;

    // Runs one statement with bound parameters (positional "?" or numbered "?1"); returns the
    // number of rows it changed.
    qint64 execute(const QString& sql, const QVariantList& params = {});
    // Runs a script of several statements without parameters.
    void executeScript(const QString& sql);
    // Runs a script whose statements each make something only where it is missing ("CREATE INDEX
    // IF NOT EXISTS ..."), all or nothing, inside the caller's transaction when one is open. A
    // database that holds it all already is only read. A database that cannot take the change
    // now (its file or folder cannot be written, or another program keeps it busy for longer
    // than waitMs) is left as it was and false is returned; any other failure is thrown.
    bool tryExecuteScript(const QString& sql, int waitMs);
    // The first column of the first row of a query, or an invalid QVariant when it has no rows.
    QVariant scalar(const QString& sql, const QVariantList& params = {});
    // The key of the last row inserted on this connection.
    qint64 lastInsertId() const;

    // Transactions; see also Transaction, which rolls back unless committed.
    void beginTransaction();
    void commit();
    void rollback();
    bool inTransaction() const;
    // The transactions that wrote (one statement outside a transaction is one), committed by
    // this process's connections so far: benchmarks and tests count the commits of a step.
    static qint64 commitCount();

    // Tables and views (not the engine's own tables), each with its columns in order.
    QList<TableInfo> tables() const;
    // One table or view, its name compared without regard to case.
    std::optional<TableInfo> table(const QString& name) const;

    // Creates a table from column specifications in the project's column convention.
    void createTable(const QString& name, const QList<ColumnSpec>& columns);
    // Appends a column at the end of a table.
    void addColumn(const QString& table, const ColumnSpec& column);
    // Removes a column by rebuilding the table in one transaction; the other columns keep their
    // order, their definitions and every row. Indexes on the column go with it; a table-level
    // constraint that names the column makes it fail with kInvalidOperation.
    void dropColumn(const QString& table, const QString& column);
    void dropTable(const QString& name);

    // Compacts the database in place; an encrypted file keeps its key.
    void compact();
    // Copies the live database into the file at path through the engine's online backup
    // (written beside it first, then renamed into place). The copy has this database's key and
    // its file mode, or the mode given (so a copy that must stay private is never readable).
    void backupTo(const QString& path, std::optional<QFileDevice::Permissions> mode = {});
    // Checks the database at path (opened with password, or with this database's own key when
    // none is given) and copies it into this live database through the online backup. Other
    // open connections to this file keep working and see the restored rows.
    void restoreFrom(const QString& path, const std::optional<QString>& password = std::nullopt);

    // Gives the database at path a password, changes it, or removes it (newPassword ""). The
    // present password must be right (kAuthenticationFailed otherwise). No other connection of
    // this program may have the file open (kFileInUse). The change takes the file for itself:
    // it waits (up to the busy timeout) for other programs' transactions to end and then keeps
    // them out until it is done; when they do not end in time it changes nothing and throws
    // kFileInUse. The database is exported into a new file under the new password, which then
    // replaces the old one atomically. Other programs' connections that were open find the
    // new file: they go on with it when their password still opens it, else their next work
    // fails with kPasswordChanged. alsoInNewFile: statements run on the new file, in one
    // transaction, before it replaces the old one, for rows that must change with the password
    // (all or nothing: when one fails, the file keeps its old password and rows).
    struct Statement {
        QString sql;
        QVariantList params;
    };
    static void setPassword(const QString& path, const QString& oldPassword, const QString& newPassword,
                            const QList<Statement>& alsoInNewFile = {});

    // Connections of this program that have the file open now.
    static int openConnectionCount(const QString& path);
    // Closes the pooled idle handles of a file, e.g. before the file is replaced by other means.
    static void releaseIdleHandles(const QString& path);

private:
    friend class Recordset;

    ConnectionState& live() const; // the open state, or kObjectClosed

    // Shared with the recordsets opened on this connection.
    std::shared_ptr<ConnectionState> state_;
};

} // namespace platform::db
