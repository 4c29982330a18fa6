// Finds the program's loaded windows by name without creating any. A window is loaded
// from its construction to its destruction, shown or hidden; its name is its objectName
// (the form's name, e.g. "frmWait"), compared without regard to case. Top-level windows
// and the child windows of a multiple-document main window count.
#pragma once

#include <QString>

class QWidget;

namespace platform::ui {

class LoadedWindows {
public:
    static bool isLoaded(const QString& name);

    // The first loaded window of that name, or null.
    static QWidget* find(const QString& name);
};

} // namespace platform::ui
