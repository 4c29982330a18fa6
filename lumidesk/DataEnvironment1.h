// The data environment of the file system view: connection "FilesTables", command
// "MasterFilesView" with the master workbooks, under each its worksheets (child member
// WorksheetsView) and under each worksheet its user files (child member UFTDView).
//
// The levels are related within their budget: a master workbook's worksheets are the
// WorksheetsView rows with its file name and its budget (also those not linked to its key),
// and a worksheet's user files are the UFTDView rows with its user file name and its
// budget. Names are compared equal without regard to case.
//
// One program-wide instance, created on first use and released by the logon and log-off.
#pragma once

#include "lumidesk/DataEnvironment.h"

namespace lumidesk {

class DataEnvironment1 : public DataEnvironment {
public:
    DataEnvironment1();

    // The program-wide instance, created on first use.
    static DataEnvironment1& instance();
    // Closes the connection and releases the instance.
    static void release();
    static bool exists();

protected:
    ShapedRowset shape(platform::db::Connection& connection) override;
};

} // namespace lumidesk
