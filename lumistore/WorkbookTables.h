// Internal: a workbook read into tables of the database layer, the stand-in for reading a
// workbook through a spreadsheet driver. Each worksheet (chart sheets have no cells and are
// left out) becomes the table "<sheet name>$" with the columns F1, F2, ... as wide as the
// sheet's used block, and one row for every row of that block, the first row included.
// Numbers are read as numbers, texts as texts, TRUE and FALSE as 1 and 0; empty cells and
// error values are Null. An empty sheet gives a table with the one column F1 and no rows.
//
// The tables live in a private database file in a temporary folder, made when the workbook
// is read and removed with this object; the workbook itself is only read.
#pragma once

#include <QString>
#include <QTemporaryDir>

namespace platform::db {
class Connection;
}

namespace lumistore {

class WorkbookTables {
public:
    // Reads the workbook; a file that is no workbook of the layer (a legacy .xls among them)
    // raises the layer's error.
    explicit WorkbookTables(const QString& workbookPath);
    // Lets go of the engine's handles on the private file and removes it.
    ~WorkbookTables();
    WorkbookTables(const WorkbookTables&) = delete;
    WorkbookTables& operator=(const WorkbookTables&) = delete;

    // The connection string of the private database that holds the tables.
    QString connectionString() const;

private:
    void createDatabase();
    void readWorkbook(const QString& workbookPath);

    QTemporaryDir folder_;
    QString databasePath_;
};

} // namespace lumistore
