// See DataControl.h.
#include "core/DataControl.h"

#include "platform/db/DbError.h"

namespace core {

using platform::db::DbError;

DataControl::DataControl(const QString& name, QObject* parent)
    : QObject(parent) {
    setObjectName(name);
}

void DataControl::setConnectionString(const QString& connectionString) {
    connectionString_ = connectionString;
}

void DataControl::setRecordSource(const QString& sql, const QVariantList& params) {
    recordSource_ = sql;
    params_ = params;
}

void DataControl::Refresh() {
    if (recordSource_.isEmpty())
        throw DbError(DbError::kInvalidOperation, QStringLiteral("The data control has no record source."));
    if (!connection_.isOpen() || openedWith_ != connectionString_) {
        connection_.open(connectionString_);
        openedWith_ = connectionString_;
    }
    platform::db::Recordset rows = platform::db::Recordset::open(connection_, recordSource_, params_);
    recordset_ = std::move(rows);
}

platform::ui::DataGridRows DataControl::gridRows() {
    return GridRowsOf(recordset_);
}

platform::ui::DataGridRows GridRowsOf(platform::db::Recordset& recordset) {
    platform::ui::DataGridRows grid;
    if (!recordset.isOpen())
        return grid;
    grid.fields = recordset.fieldNames();
    const int position = recordset.absolutePosition();
    for (recordset.moveFirst(); !recordset.eof(); recordset.moveNext()) {
        QVariantList values;
        for (int field = 0; field < recordset.fieldCount(); ++field)
            values << recordset.value(field);
        grid.rows << values;
    }
    recordset.moveFirst();
    if (position > 1)
        recordset.move(position - 1);
    return grid;
}

} // namespace core
