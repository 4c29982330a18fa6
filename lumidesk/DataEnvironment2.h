// The data environment of the Budgets Explorer's tree: connection "Lumidesk", command
// "BudgetsView" with the budgets, under each budget its master workbooks (child member
// MasterFilesView) and under each master workbook its worksheets (child member
// WorksheetsView).
//
// The levels are related within their budget: a budget's master workbooks are the
// MasterFilesView rows of that budget, and a master workbook's worksheets are the
// WorksheetsView rows with its file name and its budget. A workbook name used in two
// budgets thus shows under each budget only that budget's worksheets, and a worksheet that
// is not linked to its master workbook's key still shows. Names are compared as the
// program compares names of budgets and workbooks: equal, without regard to case.
//
// One program-wide instance, created on first use and released by the explorer's unload
// and by the logon and log-off.
#pragma once

#include "lumidesk/DataEnvironment.h"

namespace lumidesk {

class DataEnvironment2 : public DataEnvironment {
public:
    DataEnvironment2();

    // The program-wide instance, created on first use.
    static DataEnvironment2& instance();
    // Closes the connection and releases the instance.
    static void release();
    // True while the instance exists.
    static bool exists();

protected:
    ShapedRowset shape(platform::db::Connection& connection) override;
};

} // namespace lumidesk
