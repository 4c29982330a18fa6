// Internal: the one place the engine's C header is included. The encryption functions
// (sqlite3_key, sqlite3_rekey) are declared only with SQLITE_HAS_CODEC.
#pragma once

#ifndef SQLITE_HAS_CODEC
#define SQLITE_HAS_CODEC 1
#endif
#include <sqlite3.h>
