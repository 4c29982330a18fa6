// The update engine cUpdate and its program-wide instance gUpdate. The update run creates a
// fresh engine, sets its change mode and counters, and has it test each returned user file on
// disk, compare it with its master worksheet and apply, show or let the administrator edit
// the changes. Like the query objects it has a database connection of its own with
// GetRecordset, so the user-file cut uses it as its query object too.
#pragma once

#include "core/QueryObject.h"

#include <QString>
#include <memory>

namespace workbooks {

class cUpdate : public core::QueryObject {
public:
    using core::QueryObject::QueryObject;

    // The run's state, plain stored values.
    QString UpdateRequester; // the program that started the run: "Lumi"
    QString ActiveWB;        // file name of the master workbook in hand
    int WSRecords = 0;       // user files selected for that master workbook
    int WSProcessed = 0;     // of those, handled so far
    bool MFOpen = false;     // the run has opened a master workbook
    QString UpChngeMode;     // "Accept changes", "Preview changes" or "Edit changes"
};

// The program's one update engine; empty between runs and uses.
extern std::unique_ptr<cUpdate> gUpdate;

} // namespace workbooks
