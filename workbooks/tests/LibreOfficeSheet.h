// Sheets of a workbook as LibreOffice computes them (tests/fixtures/budget/lo_sheet_csv.py):
// the rows of their CSV exports, opened with the file-open password when one is given. One
// LibreOffice start reads all the sheets asked for.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace workbookstest {

// Sheets numbered from 1; one list of rows per sheet asked for, in that order. Fails the test
// when LibreOffice wrote nothing.
QList<QStringList> LibreOfficeSheets(const QString& path, const QList<int>& sheetNumbers,
                                     const QString& password = {});

// One sheet.
QStringList LibreOfficeSheet(const QString& path, int sheetNumber, const QString& password = {});

} // namespace workbookstest
