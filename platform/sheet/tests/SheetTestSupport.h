// Helpers of the workbook layer's tests: fixture paths, and the outside programs that check
// what the layer wrote -- openpyxl (run by Debian's python) and LibreOffice headless (converting
// to CSV with a profile of its own, checking that the output exists, since it exits 0 on failure).
#pragma once

#include "platform/sheet/CellValue.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <ostream>
#include <string>
#include <vector>

namespace platform::sheet {
class Worksheet;
}

// Readable QString values in test failures.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

namespace platform::sheet {
// Readable cell values in test failures.
inline void PrintTo(const CellValue& value, std::ostream* out) {
    *out << value.toText().toStdString();
}
} // namespace platform::sheet

namespace sheettest {

// tests/fixtures/workbooks/<name>
QString fixture(const QString& name);
// A copy of a fixture in a fresh folder, so that tests may change it.
QString copyOfFixture(const QString& name, const QString& as = {});

// Runs a python script (given as text) with arguments; returns its standard output. Fails the
// test when the script exits with an error.
QString runPython(const QString& script, const QStringList& args);
// The same for a script file.
QString runPythonFile(const QString& file, const QStringList& args);

// Every cell of every sheet as openpyxl reads it: "Sheet!A1" -> repr of the value (formulas
// as their text, or with storedResults the results stored with them), plus "Sheet!@state" for
// the sheet's visibility.
QMap<QString, QString> readWithOpenpyxl(const QString& path, bool storedResults = false);

// The sheet's cells as LibreOffice shows them, converted to CSV; one string per line. With
// recalculate, LibreOffice calculates every formula on loading; else it keeps its default
// settings, which calculate only the formulas saved without a result and show the others'
// stored results.
QStringList convertWithLibreOffice(const QString& path, int sheetIndex = 1, bool recalculate = true);

// The sheet's cells as LibreOffice shows them on screen (each value in its number format, in the
// English (United States) convention), converted to CSV after recalculating; one string per line.
QStringList shownByLibreOffice(const QString& path, int sheetIndex = 1);

// The fields of one line of LibreOffice's CSV export (quoted fields unquoted).
QStringList csvFields(const QString& line);

// A value as LibreOffice's CSV export writes it: numbers in their general form, TRUE and FALSE,
// texts and error codes as they are.
QString shownLikeCsv(const platform::sheet::CellValue& value);
// Whether a value equals what LibreOffice's CSV export shows: numbers to 1e-9 relative (also a
// date or percentage LibreOffice shows in its format), texts exactly, errors by their code.
bool sameAsLibreOffice(const platform::sheet::CellValue& ours, const QString& theirs);
// A formula (without "=") as both programs can be compared by: LibreOffice writes the truth
// values as functions, TRUE() and FALSE().
std::string comparableFormula(const QString& formula);

// Values for tables of cases.
inline platform::sheet::CellValue num(double v) {
    return platform::sheet::CellValue::fromNumber(v);
}
inline platform::sheet::CellValue text(const char16_t* v) {
    return platform::sheet::CellValue::fromText(QString::fromUtf16(v));
}
inline platform::sheet::CellValue truth(bool v) {
    return platform::sheet::CellValue::fromBoolean(v);
}
inline platform::sheet::CellValue err(const char16_t* code) {
    return platform::sheet::CellValue::fromError(QString::fromUtf16(code));
}

// Writes that change the inputs of the formulas over the budget table of the formula fixtures
// (make_functions_workbook.py's write_budget_table): an amount, a region, a category, a key.
void changeBudgetInputs(platform::sheet::Worksheet& data);

// Where LibreOffice and the spreadsheet program (whose results the engine follows) differ: the
// formula as comparableFormula gives it, our result, LibreOffice's CSV text.
struct LibreOfficeDifference {
    const char* formula;
    platform::sheet::CellValue ours;
    const char* libreOffice;
};
// What comparing a column of formulas with LibreOffice's CSV export found: the formulas left
// stale (not compared), how many were compared, how many of them the differences list.
struct Comparison {
    QStringList stale;
    int compared = 0;
    int listed = 0;
};
// Compares the results of the formulas in rows 1 to count of a column (from 1) with that column
// of LibreOffice's CSV rows: each equals LibreOffice's (sameAsLibreOffice), but those the
// differences list, which equal ours and LibreOffice's text as listed.
Comparison compareWithLibreOffice(const platform::sheet::Worksheet& sheet, int column, int count,
                                  const QStringList& csvRows,
                                  const std::vector<LibreOfficeDifference>& differences);

// Takes the stored results of the formula cells out of a workbook file, so that the formula
// engine calculates every formula when the workbook is opened.
void removeFormulaResults(const QString& path);

// Whether LibreOffice, opening the workbook over UNO, can unprotect the sheet (numbered from 0)
// with the password.
bool libreOfficeUnprotects(const QString& path, int sheetIndex, const QString& password);

// A small package of one worksheet "Data" whose sheetData holds the given rows, for formulas and
// results as other programs write them.
QByteArray packageWithSheetData(const std::string& rows);

// The unpacked parts of a package, read with python's zipfile.
QMap<QString, QByteArray> zipParts(const QString& path);

} // namespace sheettest
