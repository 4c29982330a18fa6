// The export mark of the control support library: it is built with hidden symbols, so only the
// classes and functions marked here are its interface.
#pragma once

#if defined(CORVAKIT_BUILDING)
#define CORVAKIT_EXPORT __attribute__((visibility("default")))
#else
#define CORVAKIT_EXPORT
#endif
