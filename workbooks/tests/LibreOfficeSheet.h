// One sheet of a workbook as LibreOffice computes it (tests/fixtures/budget/lo_sheet_csv.py):
// the rows of its CSV export, opened with the file-open password when one is given.
#pragma once

#include <QString>
#include <QStringList>

namespace workbookstest {

// Sheets numbered from 1. Fails the test when LibreOffice wrote nothing.
QStringList LibreOfficeSheet(const QString& path, int sheetNumber, const QString& password = {});

} // namespace workbookstest
