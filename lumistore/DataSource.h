// Internal: the connection that a cData object holds, opened from a connection string onto
// a database file, a workbook's tables or the file of a data-source name (see cData.h).
#pragma once

#include "lumistore/WorkbookTables.h"
#include "platform/db/Connection.h"

#include <QString>
#include <memory>

namespace lumistore {

class DataSource {
public:
    // Opens what the string reaches, closing what was open first; raises the layers' errors.
    void open(const QString& connectionString);
    // Closes the connection and lets go of a workbook's tables; never fails.
    void close() noexcept;
    bool isOpen() const { return connection_.isOpen(); }
    // The open connection; raises the closed-object error when there is none.
    platform::db::Connection& connection();

private:
    static QString fileOfDataSourceName(const QString& name);

    platform::db::Connection connection_;
    std::unique_ptr<WorkbookTables> workbook_;
};

} // namespace lumistore
