// What the configuration grids' routines share: the grid of a name on the active data
// window, the failure trap with the program's error message, and the two ways they read a
// table (rows to show, where a failed query shows nothing, and rows to change, where a
// failure is raised with the engine's own text).
#pragma once

#include "core/RunTrapped.h"
#include "core/cDB2.h"
#include "platform/db/Recordset.h"

#include <QString>
#include <QVariantList>

namespace platform::ui {
class EditGrid;
}

namespace admin::detail {

// The editing grid of that name on gOptions.ActiveForm; null when there is none.
platform::ui::EditGrid* activeGrid(const QString& name);

// Runs work and shows its failure as "Error <n> has occured. <description>", titled "Lumivane".
template <class Work> void trapped(Work&& work) {
    core::RunTrapped(std::forward<Work>(work));
}

// True, after saying why, when the grid's address cell holds an address that may not go into a
// mail; the row is then not stored and the grid keeps the typed text for correcting.
bool refusedAddress(const platform::ui::EditGrid& grid, int row, int column);

// Names that differ only in the case of their letters are one name.
bool sameName(const QString& a, const QString& b);

// The admin grid shows authors (else mail robots): gOptions.AdminControl.
bool showingAuthors();
// The record type of the kind of account shown: "Author" or "Robot".
QString accountKindShown();
// The cells a new account of the kind shown must have filled before it is stored.
QList<int> requiredAccountCells();

// The master database's connection string; raises when the program has none.
QString masterConnection();

// A query of the master database on a query object of its own, positioned on its first
// row. forShowing: a query that fails gives no rows (a refused password has shown its
// message). forChanging: a failure raises, so the caller's trap shows it.
class TableQuery {
public:
    static TableQuery forShowing(const QString& sql, const QVariantList& params = {});
    static TableQuery forChanging(const QString& sql, const QVariantList& params = {});

    bool hasRows() const { return hasRows_; }
    platform::db::Recordset& rows() { return rows_; }
    platform::db::Connection& connection() { return query_->Cnn(); }

private:
    TableQuery();

    std::unique_ptr<core::cDB2> query_;
    platform::db::Recordset rows_;
    bool hasRows_ = false;
};

} // namespace admin::detail
