// Stands in for the spreadsheet program that opens workbooks for the user: while it lives, every
// start of the program is recorded (the workbook's path) instead of starting it, and the program
// is found (LUMIVANE_SPREADSHEET_PROGRAM names an existing program).
#pragma once

#include "platform/sys/SpreadsheetProgram.h"

#include <QByteArray>
#include <QStringList>
#include <cstdlib>

namespace testsupport {

class WorkbookStarts {
public:
    WorkbookStarts() {
        previous_ = qgetenv("LUMIVANE_SPREADSHEET_PROGRAM");
        setenv("LUMIVANE_SPREADSHEET_PROGRAM", "/bin/true", 1);
        platform::sys::setProgramStarter([this](const QString&, const QStringList& arguments) {
            paths << arguments.value(0);
            return true;
        });
    }
    ~WorkbookStarts() {
        platform::sys::setProgramStarter({});
        setenv("LUMIVANE_SPREADSHEET_PROGRAM", previous_.constData(), 1);
    }
    WorkbookStarts(const WorkbookStarts&) = delete;
    WorkbookStarts& operator=(const WorkbookStarts&) = delete;

    QStringList paths; // the workbooks opened, in order

private:
    QByteArray previous_;
};

} // namespace testsupport
