// Which program of the system this process is, as its messages and settings show it: the
// title of its message boxes, the title of the generic error message where a routine gives
// none, and the application name under which it keeps its settings. The desktop program and
// the add-in build the same routines; each routine asks the edition instead of naming a
// program. The value is set once, at the start of the program, before any window or setting
// is used; a process that never sets it is the desktop program.
#pragma once

#include <QString>

namespace platform::sys {

struct Edition {
    QString messageTitle;        // "Lumivane" for the desktop program, "LumivaneXL" for the add-in
    QString applicationTitle;    // "Lumivane"; the add-in library's own title, "Lumicell"
    QString settingsApplication; // "Lumivane"; "LumivaneXL"

    static Edition desktop();
    static Edition addIn();

    friend bool operator==(const Edition&, const Edition&) = default;
};

// This process's edition.
const Edition& edition();

// Sets this process's edition. Setting the edition it already has is no change; setting
// another one after it was set throws std::logic_error (one process is one program).
void setEdition(const Edition& value);

// Shorthand: the application name of this program's own settings.
inline const QString& settingsApplication() {
    return edition().settingsApplication;
}

} // namespace platform::sys
