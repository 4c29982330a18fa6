// The names of the spreadsheet program's worksheet functions, whether the engine evaluates them
// or not, and how a workbook file spells them. A formula that calls a name missing from this list
// shows #NAME? in the spreadsheet program, so the engine gives #NAME? too; a listed function the
// engine does not evaluate leaves its cell stale instead. Functions newer than the file format
// are stored with a prefix ("_xlfn.XLOOKUP", "_xlfn._xlws.SORT"): formulas are shown to callers
// as a user types them and get their prefixes back when they are stored.
#pragma once

#include <string>
#include <string_view>

namespace platform::sheet {

class FunctionNames {
public:
    // True for a function of the spreadsheet program (without regard to case; a storage prefix
    // is allowed and a prefixed name is always taken for one).
    static bool isKnown(std::string_view name);

    // The name without its storage prefixes: "_xlfn._xlws.SORT" -> "SORT".
    static std::string_view withoutPrefix(std::string_view name);
    // The prefix the file format needs before the name ("" for most functions).
    static std::string_view storagePrefix(std::string_view name);

    // A formula (without "=") as a user types it: storage prefixes of functions and of the
    // parameter names of LET and LAMBDA taken away, written back in their typed forms ("@" for
    // the implicit intersection, "#" after a spilled range).
    static std::string toDisplay(std::string_view formula);
    // A formula as the file stores it: prefixes put before the functions that need them.
    static std::string toStorage(std::string_view formula);
};

} // namespace platform::sheet
