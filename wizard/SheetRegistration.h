// Entering one sheet of a master workbook into the Worksheets table of a budget, as the
// wizard's sheet listing and the add-in's workbook registration both do: a sheet name that the
// budget knows already (letter case aside) is not entered again; when another master workbook
// of the budget holds it, the administrator is told that it duplicates that workbook's sheet.
// Every value is a bound parameter.
#pragma once

#include "platform/db/Connection.h"

#include <QString>
#include <QVariant>
#include <QtGlobal>

namespace wizard {

inline const QString kDuplicateSheetText =
    QStringLiteral("Worksheet '%1' from '%2' duplicates a worksheet name from '%3' and can't be entered");

// True when no Worksheets row of the budget bears the sheet's name, so it may be entered.
// False otherwise, after the duplicate message (titled as the desktop program's messages)
// when the row belongs to another master workbook than masterFile (letter case aside).
bool SheetNameIsFree(platform::db::Connection& cnn, const QString& sheetName, const QString& masterFile,
                     const QString& budget);

// The Worksheets row of a sheet to enter.
struct NewSheetRow {
    QString sheetName;
    QString masterFile;
    QString budget;
    qint64 masterFileId = 0;
    QVariant scrambledPassword; // Null: none
    bool picked = false;
    QVariant folder; // Null: none yet
};

void AddSheetRow(platform::db::Connection& cnn, const NewSheetRow& row);

} // namespace wizard
