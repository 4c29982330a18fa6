// What the two data environments have in common: a named connection to the master
// database and one named hierarchical command over the stored views of that database.
//
// The connection string is taken from the connection descriptor when the environment is
// first used, and the connection opens with the first command and stays open. An
// environment created before a change between the local and the network database
// therefore keeps showing the database it was opened on until it is released (the logon
// and log-off release both), and connects to the database then in use at its next use.
//
// A command runs one query per level and per parent row, each with the parent's values as
// bound parameters, so that a name never becomes part of the SQL text. The rows of the top
// level have a current row, which follows the selection of the window bound to them.
#pragma once

#include "lumidesk/ShapedRowset.h"
#include "platform/db/Connection.h"

#include <QString>
#include <QVariantList>

namespace lumidesk {

class DataEnvironment {
public:
    DataEnvironment(QString connectionName, QString commandName);
    // Closes the connection.
    virtual ~DataEnvironment();
    DataEnvironment(const DataEnvironment&) = delete;
    DataEnvironment& operator=(const DataEnvironment&) = delete;

    const QString& ConnectionName() const { return connectionName_; }
    const QString& CommandName() const { return commandName_; }
    // The master database's connection string as it was when the environment was created.
    const QString& ConnectionString() const { return connectionString_; }
    // The database file the connection opened (empty until the first command).
    QString DataSource() const;

    // The command's rows, run on first use; a failure is thrown as a platform::db::DbError.
    const ShapedRowset& Rows();
    // Runs the command again; the current row goes back to the first.
    void Requery();

    // The current row of the top level (-1 when there are no rows).
    int CurrentRow() const { return current_; }
    void MoveTo(int row);
    // A field of the current row; no value without a current row.
    QVariant CurrentValue(const QString& field) const;

protected:
    // Builds the command's rows over the open connection.
    virtual ShapedRowset shape(platform::db::Connection& connection) = 0;

    // Reads one level: the rows of `sql` with its bound values, under the member name.
    static ShapedRowset select(platform::db::Connection& connection, const QString& member,
                               const QString& sql, const QVariantList& params = {});

private:
    platform::db::Connection& connection();

    QString connectionName_;
    QString commandName_;
    QString connectionString_;
    platform::db::Connection connection_;
    ShapedRowset rows_;
    bool loaded_ = false;
    int current_ = -1;
};

// Releases both program-wide data environments (DataEnvironment1 and DataEnvironment2), so
// that they connect afresh, to the database then in use, at their next use.
void ReleaseDataEnvironments();

} // namespace lumidesk
