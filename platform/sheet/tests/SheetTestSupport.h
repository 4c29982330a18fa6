// Helpers of the workbook layer's tests: fixture paths, and the outside programs that check
// what the layer wrote -- openpyxl (run by Debian's python) and LibreOffice headless (converting
// to CSV with a profile of its own, checking that the output exists, since it exits 0 on failure).
#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <ostream>
#include <string>

// Readable QString values in test failures.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

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

// Whether LibreOffice, opening the workbook over UNO, can unprotect the sheet (numbered from 0)
// with the password.
bool libreOfficeUnprotects(const QString& path, int sheetIndex, const QString& password);

// A small package of one worksheet "Data" whose sheetData holds the given rows, for formulas and
// results as other programs write them.
QByteArray packageWithSheetData(const std::string& rows);

// The unpacked parts of a package, read with python's zipfile.
QMap<QString, QByteArray> zipParts(const QString& path);

} // namespace sheettest
