// The export mark of the data store library. The library is built with hidden symbols, so
// only the classes and functions marked here are part of its interface; everything else
// it holds (its own copy of the database layer) stays private to it. The window, workbook and
// settings layers are the process's shared ones, so its questions go through the dialog
// service the caller installed.
#pragma once

#if defined(LUMISTORE_BUILDING)
#define LUMISTORE_EXPORT __attribute__((visibility("default")))
#else
#define LUMISTORE_EXPORT
#endif
