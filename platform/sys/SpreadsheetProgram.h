// The spreadsheet program the project ships, Lumisheet, in which a workbook that a window names
// is opened for the user (the desktop's file associations are not relied on). It is the program
// $LUMIVANE_SPREADSHEET_PROGRAM names, else "lumisheet" beside the running program (an
// installation), else the build tree's lumisheet/lumisheet beside the running program's folder.
// It is started on its own (not a child the caller waits for) and stays open for the user.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace platform::sys {

// The program's path; empty when none is found.
QString spreadsheetProgram();

// Starts the spreadsheet program with the workbook; false when the program is not found or
// could not be started.
bool openInSpreadsheetProgram(const QString& workbookPath);

// How the program is started: on its own, by default. Tests record the start instead; an empty
// function puts the default back.
using ProgramStarter = std::function<bool(const QString& program, const QStringList& arguments)>;
void setProgramStarter(ProgramStarter starter);

} // namespace platform::sys
