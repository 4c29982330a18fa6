// The wizard's deletions of one master workbook or one worksheet with the rows that depend on
// them, each all or nothing.
#pragma once

#include <QString>

namespace wizard {

// A master workbook of a budget: its user files' rows, its worksheets (by its key) and its
// own row. Placeholder rows come back in tables left empty.
void DeleteMasterFileRecords(const QString& masterFile, const QString& budget, qint64 masterFileId);

// A worksheet of a budget's master workbook: its user file's row (when it has one) and its own
// row.
void DeleteWorksheetRecords(const QString& worksheet, const QString& budget, const QString& masterFile,
                            const QString& userFile);

} // namespace wizard
