// Fills the errors grid ("dtErrors") of the active data window from the Errors table and
// shows the columns of one of its two views. The errors browser calls it when it loads and
// when its view changes; it finds the grid through gOptions->ActiveForm, which the browser
// makes itself whenever it loads or is clicked.
#pragma once

#include <QString>
#include <QtGlobal>

namespace core {

// view: "Errors" (missing and busy files) or "Corruption" (cell problems), compared without
// regard to case; another name leaves the columns and the height as they are. row: the row
// to make current afterwards. The rows are read through a query object of its own; when
// the query finds no rows or fails, the grid keeps the rows it has. A failure (no active
// window with an errors grid among them) is thrown to the caller.
void LoadErrorsGrid(const QString& view, qint16 row);

} // namespace core
