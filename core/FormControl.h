// The controls of the window registered as gOptions->ActiveForm, found by their names, as the
// shared routines reach the grids, lists and boxes of the window they work on. A window without
// the control, or no window at all, is an error the routine's caller reports.
#pragma once

#include "core/cOptions.h"

#include <QString>
#include <QWidget>
#include <stdexcept>
#include <string>

namespace core {

// The active form; throws std::runtime_error when none is registered.
inline QWidget& ActiveFormOrThrow() {
    QWidget* form = gOptions ? gOptions->ActiveForm.data() : nullptr;
    if (!form)
        throw std::runtime_error("No window is active to work on.");
    return *form;
}

// The form's control of that name; throws std::runtime_error when it has none.
template <class T> T& FormControl(QWidget& form, const char* name) {
    T* found = form.findChild<T*>(QString::fromLatin1(name));
    if (!found)
        throw std::runtime_error(std::string("The window has no control ") + name + ".");
    return *found;
}

// The control of the active form.
template <class T> T& ActiveFormControl(const char* name) {
    return FormControl<T>(ActiveFormOrThrow(), name);
}

} // namespace core
