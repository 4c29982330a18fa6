// The work behind the Make Worksheets tab, on the active workbook of the spreadsheet program: the
// grid of its worksheets with their used ranges, new worksheets copied from a template sheet, and
// the summary sheet whose cells add up the same cell of every ticked sheet. The routines reach
// the tab's grid dtWSMake and its lists lbxWSNames, lbxRows and lbxCols by name through the
// options object's ActiveForm; they write nothing to the database.
//
// Two refusals keep the summary sound: a ticked summary sheet is never added into its own
// formulas (that would be a circular reference), and with no other sheet ticked the command
// is refused ("Select the worksheets to sum.") instead of writing "=" alone.
#pragma once

#include <QString>

namespace lumicell {

inline const QString kSelectTemplateText = QStringLiteral("Select a Worksheet as the copy template.");
inline const QString kNoNewNamesText = QStringLiteral("There are no new worksheet names entered.");
inline const QString kSelectPairsText =
    QStringLiteral("Select some Row - Column pairs to create summary formulas at the intersections.");
inline const QString kUnequalPairsText =
    QStringLiteral("There needs to be an equal number of selected rows and columns.");
inline const QString kGoBackText = QStringLiteral("Go back to 'Make Worksheets' and create the worksheets.");
inline const QString kSelectSheetsToSumText = QStringLiteral("Select the worksheets to sum.");
inline const QString kHeaderPrompt = QStringLiteral("Write a header for the Summary Worksheet to A1.");
inline const QString kDefaultHeader = QStringLiteral("Automated Summary Worksheet prepared by LumivaneXL");

// The grid's columns.
inline constexpr int kTickColumn = 0;
inline constexpr int kSheetColumn = 1;
inline constexpr int kRangeColumn = 2;

// One row per worksheet of the active workbook: unticked, its name, "A1:" and its last used
// cell ("A1:H42"; an empty sheet "A1:A1"). Hidden sheets are listed too; the active sheet stays.
void LoadMakeWorksheetsGrid();

// Copies the template (the first ticked row) after itself once per ticked name of the name
// list, names each copy, empties the list and reloads the grid. A copy the workbook refuses to
// name keeps the name the copy was given; a failed copy renames nothing.
void MakeWorksheets();

// Makes (or reuses) the summary sheet "<workbook name>sum", last of the workbook, writes the
// summary formulas at every picked row and column, and offers to write a bold header into A1.
void MakeSummaryWorksheet();

// "=+'Jan'!C12+'Feb'!C12": the formula that adds the cell of the given sheets.
QString SummaryFormula(const QStringList& sheets, const QString& cell);

} // namespace lumicell
