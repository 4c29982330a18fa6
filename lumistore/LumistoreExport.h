// The export mark of the data store library. The library is built with hidden symbols, so
// only the classes and functions marked here are part of its interface; everything else
// it holds (its own copies of the database, workbook and window layers, its wait window)
// stays private to it.
#pragma once

#if defined(LUMISTORE_BUILDING)
#define LUMISTORE_EXPORT __attribute__((visibility("default")))
#else
#define LUMISTORE_EXPORT
#endif
