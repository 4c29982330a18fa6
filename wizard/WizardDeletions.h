// The wizard's deletions of one master workbook or one worksheet with the rows that depend on
// them, each all or nothing.
#pragma once

#include <QString>

namespace wizard {

// A master workbook of a budget: its user files' rows, its worksheets (by its key) and its
// own row. Placeholder rows come back in tables left empty.
void DeleteMasterFileRecords(const QString& masterFile, const QString& budget, qint64 masterFileId);

// One worksheet row, by its key: the row itself and its user file's row (when it has one and
// no other worksheet row of the budget still carries that user file).
void DeleteWorksheetRecords(qint64 worksheetId);

} // namespace wizard
