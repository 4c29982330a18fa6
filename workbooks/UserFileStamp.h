// The stamp of a user file: what it was cut from -- the budget, the master workbook, the sheet
// and the cut itself. The cut writes it into every user file it saves, as custom document
// properties (which the spreadsheet programs the users save with keep), and records the cut's
// identifier for the file's path in the master database. A returned file replaces a user file
// (Get Mail) and is merged into a master (the update run) only when its stamp names that user
// file's worksheet row: two budgets that both cut a sheet "Costs" for one user never take each
// other's answers, nor does a file of an earlier cut of the sheet pass for the current one. A
// file without a stamp -- cut before stamps were written, or saved by a program that drops
// custom properties -- is taken as files were before: by its name and place.
#pragma once

#include <QString>
#include <optional>

namespace platform::db {
class Connection;
}
namespace platform::sheet {
class Workbook;
}

namespace workbooks {

struct UserFileStamp {
    QString budget;
    QString masterFile; // the master workbook's file name
    QString worksheet;
    QString cutId; // empty: not known (the database keeps no cut for the path)
};

// A new identifier for one cut of one user file: its time (UTC) and a random part.
QString NewCutId();

void WriteUserFileStamp(platform::sheet::Workbook& book, const UserFileStamp& stamp);
// The workbook's stamp; none when it carries none of the stamp's properties.
std::optional<UserFileStamp> ReadUserFileStamp(const platform::sheet::Workbook& book);

// Records the cut of the user file at path, replacing the cut recorded for it before.
void RecordUserFileCut(platform::db::Connection& cnn, const QString& path, const QString& cutId);
// The stamp that the user file of a worksheet row carries when it is that row's: the row's
// budget, master workbook and sheet, and the cut recorded for its path.
UserFileStamp StampOfRow(platform::db::Connection& cnn, const QString& budget, const QString& masterFile,
                         const QString& worksheet, const QString& path);

// "" when the stamp found in the file fileName is the row's (names compared without regard to
// case, the cut when the database keeps one for the path); otherwise why the file is not that row's user
// file, naming both, as in "Costs.xlsx was cut from the sheet 'Costs' of Plan.xlsx in the budget 'Other' (cut
// 20250301T091500Z-1f2e3d4c), not from the sheet 'Costs' of Plan.xlsx in the budget 'Sales' (cut
// 20250302T101500Z-5a6b7c8d)".
QString StampMismatch(const QString& fileName, const UserFileStamp& found, const UserFileStamp& row);

} // namespace workbooks
