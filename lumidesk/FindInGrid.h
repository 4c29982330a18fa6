// Edit > Find's search: selects the first row of the active data window's grid whose first
// cell matches a text. The grid is the one the active window's focus is in, reached through
// gOptions.ActiveForm; only the users grid (dtUsersData), the status grid (dtUFStatus) and
// the worksheets grid (dtWorksheets) are searched.
//
// "Whole Field" compares the whole first cell with the text exactly, case included. The find
// window also offers "Any Part of Field" (the cell contains the text) and "Start of Field" (the
// cell begins with it), likewise with case; the text is taken literally, so "*", "?", "%" and
// "_" only match themselves; an empty text finds only an empty cell. The search always starts at the first
// row, so repeated searches select the same first match.
#pragma once

#include <QString>
#include <QStringList>

namespace lumidesk {

// The choices of the find window's "Match:" list, in the list's order.
inline const QString kMatchAnyPart = QStringLiteral("Any Part of Field");
inline const QString kMatchWholeField = QStringLiteral("Whole Field");
inline const QString kMatchStart = QStringLiteral("Start of Field");
inline const QStringList kMatchChoices{kMatchAnyPart, kMatchWholeField, kMatchStart};

// The grids that can be searched.
inline const QStringList kSearchableGrids{QStringLiteral("dtUsersData"), QStringLiteral("dtUFStatus"),
                                          QStringLiteral("dtWorksheets")};

// True when the cell's text matches the find text under the match choice (an unknown choice
// counts as "Whole Field").
bool CellMatches(const QString& cell, const QString& findText, const QString& match);

// Selects the first matching row and answers its number; -1 when no row matched or there was
// no grid to search (nothing changes then). lookIn is not used. A failure shows the program's
// error message and answers -1.
int FindInGrid(const QString& findText, const QString& lookIn, const QString& match = kMatchWholeField);

} // namespace lumidesk
