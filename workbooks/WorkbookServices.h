// What the rest of the desktop program calls of the user-file and update-engine subsystem:
// the user-file activity check and the update run.
#pragma once

#include "workbooks/CheckUserFilesExist.h"
#include "workbooks/UpdateRun.h"
