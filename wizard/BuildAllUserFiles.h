// "Build All" of the wizard's Create User Files page: the user files of every picked worksheet
// of the budget context, cut master workbook by master workbook.
#pragma once

#include <QString>

namespace wizard {

// Hands each master workbook of the context's picked worksheets (Budget_Name equal to the
// context, ignoring case) to the user-file builder once, in order of their names, with the
// two flags. A missing or busy master workbook is told and skipped; the others are built.
// Refused with a short message while another run is under way. Answers false on every path:
// the caller synchronises the user-file table afterwards.
bool BuildAllUserFiles(bool overwriteAll, bool valuesOnly);

} // namespace wizard
