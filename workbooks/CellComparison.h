// The cell-by-cell comparison of a returned user file with its master worksheet. Both sheets
// come as tables of cell texts (formulas, or values when the user file holds values only);
// every cell pair is classified, the changed cells make the change list, and a formula of the
// master that the user file lost or replaced stops the comparison with an errors-table row and
// the question whether the update run goes on.
#pragma once

#include "workbooks/CellTexts.h"

#include <QString>
#include <QtGlobal>
#include <optional>
#include <vector>

namespace workbooks {

// What ClassifyCellChange finds for one cell pair.
enum ChangeCode : qint16 {
    kBothEmpty = 0,
    kUnchangedValue = 2,    // the master cell holds no formula and the user cell equals it
    kCorruptedFormula = 3,  // the master cell holds a formula that the user cell lost or replaced
    kChangedValue = 4,      // a change to take over
    kExternalReference = 5, // the user cell holds the master formula as a reference to the master file
    kSameFormula = 6,
};

// One changed cell: where it is, the user's text, the master's text and its label ("B3"), and
// whether the user's cell holds that text as a text (written as such, never read as a typed
// number, date or truth value).
struct ChangeRecord {
    int row = 0;
    int column = 0;
    QString changedValue;
    QString currentValue;
    QString label;
    bool changedIsText = false;
};

// The changed cells in the order they were found: column by column, top to bottom.
using ChangeList = std::vector<ChangeRecord>;

// Cells of the master that the administrator changed during the review: not written over.
inline const QString kHandEditsKeptText = QStringLiteral(
    "The cells %1 of the sheet '%2' were changed in the master workbook during the review: the values "
    "of the user file '%3' were not written over them. The user file stays waiting for the next update "
    "run.");

inline const QString kCorruptedFormulaText = QStringLiteral(
    "The User file [%1] has a corrupted formula at [%2]. \r\n Repair or replace this User File.  "
    "Do you want to continue updating?");

// The questions for the other cells of a user file that must not reach the master, each saying
// what the cell holds: %1 the user file, %2 the cell; %3 the error code or the sheet.
inline const QString kErrorValueText = QStringLiteral(
    "The User file [%1] has the error value %3 at [%2]. \r\n Repair or replace this User File.  "
    "Do you want to continue updating?");
inline const QString kForeignSheetText = QStringLiteral(
    "The User file [%1] has a formula at [%2] that refers to the sheet '%3', which the User file does not "
    "hold. \r\n Repair or replace this User File.  Do you want to continue updating?");
inline const QString kDeletedReferenceText = QStringLiteral(
    "The User file [%1] has a formula at [%2] whose reference was deleted (#REF!). \r\n Repair or replace "
    "this User File.  Do you want to continue updating?");
inline const QString kCircularFormulaText = QStringLiteral(
    "The User file [%1] has a circular formula at [%2]: it reads its own result. \r\n Repair or replace "
    "this User File.  Do you want to continue updating?");

// The question for values of a values-only user file beyond the block cut from the master
// sheet: %1 the user file, %2 the (first) cell, %3 its value, %4 how many there are.
inline const QString kValueOutsideBlockText = QStringLiteral(
    "The User file [%1] has a value outside the block cut from the master sheet, at [%2]: \"%3\". \r\n "
    "Merge the rest of the file without it?");
inline const QString kValuesOutsideBlockText = QStringLiteral(
    "The User file [%1] has %4 values outside the block cut from the master sheet, the first at [%2]: "
    "\"%3\". \r\n Merge the rest of the file without them?");
// The errors row of the values outside the block beyond those listed one by one.
inline constexpr int kValuesOutsideBlockListed = 100;
inline const QString kMoreValuesOutsideBlockText =
    QStringLiteral("%1 more values outside the block cut from the master sheet, from [%2] on, not listed");

// Compares the texts without regard to case; "formula" means the master text begins with "=".
qint16 ClassifyCellChange(const QString& masterText, const QString& userText, const QString& masterFile);

// Writes record n of the list (the list grows to hold it).
void StoreChangeRecord(std::size_t n, ChangeList& list, const QString& label, const QString& changedValue,
                       const QString& currentValue, int row, int column);

// The A1 label of a cell without "$" ("AB3" for row 3, column 28).
QString CellLabel(int row, int column);

// The steps for a cell of the user file that must not reach the master: the setting
// Errors\CorruptedFilename, gOptions->CorruptedFlag, the errors row, the question (one of the
// texts above, filled in), and after a No gOptions->CancelOp. A failure to write the errors row
// is thrown.
void ReportRefusedCell(int row, int column, const QString& masterText, const QString& userText,
                       const QString& userFile, const QString& masterFile, const QString& question);
// The same for a formula of the master lost or replaced (texts of a cell beyond its table are ""),
// asking kCorruptedFormulaText.
void ReportCorruptedFormula(int row, int column, const QString& masterText, const QString& userText,
                            const QString& userFile, const QString& masterFile);

// Values of a values-only user file beyond the master sheet's table (the block the file was cut
// from) are no part of the merge: the first kValuesOutsideBlockListed get an errors row each
// (RecordLength_Error), any more one row that counts them (kMoreValuesOutsideBlockText, at the
// first of them), all in one transaction; then the question kValueOutsideBlockText
// (kValuesOutsideBlockText for several, with their whole number) asks whether the rest of the
// file is merged. True when there is none, or at a Yes; after a No gOptions->CorruptedFlag is
// set. A failure to write the errors rows is thrown.
bool AskAboutValuesOutsideBlock(const CellTexts& master, const CellTexts& user, const QString& userFile,
                                const QString& masterFile);

// Compares the cells (1, 1) to (rows, columns) of both tables. A corrupted formula -- or a cell
// that lies beyond one of the tables -- sets gOptions->CorruptedFlag, records the user file's name
// in the setting Errors\CorruptedFilename, writes its errors row (LogCellError), asks
// kCorruptedFormulaText and ends the comparison: nothing is answered then, and a No sets
// gOptions->CancelOp. A failure to write the errors row is thrown.
std::optional<ChangeList> CompareSheetArrays(const CellTexts& master, const CellTexts& user, int rows,
                                             int columns, const QString& userFile, const QString& masterFile);

} // namespace workbooks
