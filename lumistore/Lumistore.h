// The data store library's interface: the four classes callers create by type and the one
// exception type that its clean-up and deletion classes raise.
#pragma once

#include "lumistore/LumistoreError.h"
#include "lumistore/cClean.h"
#include "lumistore/cData.h"
#include "lumistore/cDelete.h"
#include "lumistore/cError.h"
