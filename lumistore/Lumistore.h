// The data store library's interface: the four classes callers create by type, the one
// exception type that its clean-up and deletion classes raise, and the hooks through which
// the program lends it its wait window.
#pragma once

#include "lumistore/LumistoreError.h"
#include "lumistore/WaitWindowHooks.h"
#include "lumistore/cClean.h"
#include "lumistore/cData.h"
#include "lumistore/cDelete.h"
#include "lumistore/cError.h"
