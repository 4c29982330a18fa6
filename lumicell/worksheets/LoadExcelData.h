// The spreadsheet data import of the Range tab: the saved workbook file's first sheet read
// through the data store library's data source (which reads a workbook's sheets into tables
// "<sheet name>$" with the columns F1, F2, ...), its rows whose first column is not empty shown
// in the grid DataTable1 of the options object's ActiveForm. Every failure -- the file cannot be
// opened, it lists no table, the query fails or gives no rows, any other error -- shows one
// message, titled "Error loading Excel Data.", whose text is the data store library's error
// text naming the procedure LoadExcelData; the grid then keeps what it showed.
#pragma once

#include <QString>

namespace lumicell {

inline const QString kLoadExcelDataTitle = QStringLiteral("Error loading Excel Data.");

// The connection string of the workbook file: its full name and its folder put into the
// template of the spreadsheet data source. Throws std::invalid_argument for a name without a
// folder.
QString ExcelDataConnectString(const QString& fullName);

// Loads the workbook file named by its full path and name.
void LoadExcelData(const QString& fullName);

} // namespace lumicell
