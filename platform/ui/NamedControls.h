// Controls made with the name by which the program's routines and tests find them
// (objectName), as the windows build their buttons, check boxes and labels.
#pragma once

#include <QString>
#include <QWidget>

namespace platform::ui {

// A control of a class whose constructor takes a caption and a parent (buttons, check boxes,
// labels), named, with its tool tip when one is given.
template <class Control>
Control* namedControl(QWidget* parent, const QString& name, const QString& caption, const QString& tip = {}) {
    auto* made = new Control(caption, parent);
    made->setObjectName(name);
    if (!tip.isEmpty())
        made->setToolTip(tip);
    return made;
}

} // namespace platform::ui
