// A data control of a window: a connection string, a record source (a query with its bound
// values) and the recordset it gives, re-read on Refresh. Grids and boxes bound to it show
// its rows; the Budgets Explorer keeps two, one behind its status grid and one that lists
// every user file for its folder list.
//
// It is a QObject child of its window, named as the window names it, so the window's own
// routines find it by name. Its connection opens at the first Refresh and stays open while
// the control lives; a new connection string takes effect at the next Refresh.
#pragma once

#include "platform/db/Connection.h"
#include "platform/db/Recordset.h"
#include "platform/ui/DataGridTypes.h"

#include <QObject>
#include <QString>
#include <QVariantList>

namespace core {

class DataControl : public QObject {
    Q_OBJECT
public:
    DataControl(const QString& name, QObject* parent);

    void setConnectionString(const QString& connectionString);
    const QString& ConnectionString() const { return connectionString_; }

    void setRecordSource(const QString& sql, const QVariantList& params = {});
    const QString& RecordSource() const { return recordSource_; }
    const QVariantList& RecordSourceParams() const { return params_; }

    // Runs the record source again; the recordset stands on its first row. A failure is
    // thrown as a platform::db::DbError and leaves the previous rows in place.
    void Refresh();

    platform::db::Recordset& Recordset() { return recordset_; }
    platform::db::Connection& Connection() { return connection_; }

    // The recordset's rows for a grid bound to this control (the current row is kept).
    platform::ui::DataGridRows gridRows();

private:
    QString connectionString_;
    QString openedWith_;
    QString recordSource_;
    QVariantList params_;
    platform::db::Connection connection_;
    platform::db::Recordset recordset_;
};

// A recordset's rows for a grid (its current row is kept).
platform::ui::DataGridRows GridRowsOf(platform::db::Recordset& recordset);

} // namespace core
