// See DataSource.h.
#include "lumistore/DataSource.h"

#include "lumistore/cData.h"
#include "platform/db/ConnectionString.h"
#include "platform/db/DbError.h"
#include "platform/sheet/Workbook.h"
#include "platform/sys/SettingsStore.h"

namespace lumistore {

namespace {

using platform::db::ConnectionString;
using platform::db::DbError;

// Workbooks go to the workbook layer, which reads .xlsx and .xlsm and refuses a legacy .xls
// with its own message.
bool namesWorkbook(const QString& path) {
    return platform::sheet::Workbook::isWorkbookName(path) ||
           path.endsWith(QStringLiteral(".xls"), Qt::CaseInsensitive);
}

} // namespace

QString DataSource::fileOfDataSourceName(const QString& name) {
    const QString file =
        platform::sys::readSetting(cData::kDataSourcesApplication, name, cData::kDataSourceFileKey);
    if (file.isEmpty())
        throw DbError(DbError::kInvalidPath,
                      QStringLiteral("The data source name '%1' names no file.").arg(name));
    return file;
}

void DataSource::open(const QString& connectionString) {
    close();
    const ConnectionString given = ConnectionString::parse(connectionString);
    QString path = given.databasePath();
    if (path.isEmpty() && !given.value(ConnectionString::kDsn).isEmpty())
        path = fileOfDataSourceName(given.value(ConnectionString::kDsn));
    if (path.isEmpty())
        throw DbError(DbError::kInvalidPath, QStringLiteral("The connection string names no data source."));

    if (namesWorkbook(path)) {
        auto tables = std::make_unique<WorkbookTables>(path);
        connection_.open(tables->connectionString());
        workbook_ = std::move(tables);
        return;
    }
    ConnectionString database;
    database.set(ConnectionString::kDataSource, path);
    if (!given.password().isEmpty())
        database.set(ConnectionString::kDatabasePassword, given.password());
    connection_.open(database);
}

void DataSource::close() noexcept {
    try {
        connection_.close();
    } catch (...) {
        // Closing hands the handle back to the pool; there is nothing left to undo.
    }
    workbook_.reset();
}

platform::db::Connection& DataSource::connection() {
    if (!connection_.isOpen())
        throw DbError(DbError::kObjectClosed,
                      QStringLiteral("Operation is not allowed when the object is closed."));
    return connection_;
}

} // namespace lumistore
