// See DataEnvironment.h.
#include "lumidesk/DataEnvironment.h"

#include "core/cConnection.h"
#include "lumidesk/DataEnvironment1.h"
#include "lumidesk/DataEnvironment2.h"
#include "platform/db/ConnectionString.h"
#include "platform/db/DbError.h"
#include "platform/db/Recordset.h"

namespace lumidesk {

using platform::db::DbError;

DataEnvironment::DataEnvironment(QString connectionName, QString commandName)
    : connectionName_(std::move(connectionName))
    , commandName_(std::move(commandName)) {
    if (core::gCnn)
        connectionString_ = core::gCnn->LumiCnn();
}

DataEnvironment::~DataEnvironment() {
    connection_.close();
}

QString DataEnvironment::DataSource() const {
    return connection_.isOpen() ? connection_.databasePath() : QString();
}

platform::db::Connection& DataEnvironment::connection() {
    if (connection_.isOpen())
        return connection_;
    if (connectionString_.isEmpty())
        throw DbError(DbError::kInvalidPath, QStringLiteral("The master database is not set up."));
    // The file is the one of the string taken at creation; the user is the database's only
    // one and no password is kept beyond the string itself.
    platform::db::ConnectionString text = platform::db::ConnectionString::parse(connectionString_);
    text.set(QStringLiteral("Persist Security Info"), QStringLiteral("False"));
    text.set(platform::db::ConnectionString::kUserId, QStringLiteral("admin"));
    connection_.open(text);
    return connection_;
}

const ShapedRowset& DataEnvironment::Rows() {
    if (!loaded_)
        Requery();
    return rows_;
}

void DataEnvironment::Requery() {
    ShapedRowset rows = shape(connection());
    rows_ = std::move(rows);
    loaded_ = true;
    current_ = rows_.rows.empty() ? -1 : 0;
}

void DataEnvironment::MoveTo(int row) {
    if (row >= 0 && row < static_cast<int>(rows_.rows.size()))
        current_ = row;
}

QVariant DataEnvironment::CurrentValue(const QString& field) const {
    if (current_ < 0 || current_ >= static_cast<int>(rows_.rows.size()))
        return {};
    return rows_.rows[current_].value(rows_, field);
}

ShapedRowset DataEnvironment::select(platform::db::Connection& connection, const QString& member,
                                     const QString& sql, const QVariantList& params) {
    platform::db::Recordset rows = platform::db::Recordset::open(connection, sql, params);
    ShapedRowset level;
    level.member = member;
    level.fields = rows.fieldNames();
    for (; !rows.eof(); rows.moveNext()) {
        ShapedRow row;
        for (int field = 0; field < rows.fieldCount(); ++field)
            row.values << rows.value(field);
        level.rows.push_back(std::move(row));
    }
    return level;
}

void ReleaseDataEnvironments() {
    DataEnvironment1::release();
    DataEnvironment2::release();
}

} // namespace lumidesk
