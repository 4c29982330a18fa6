// The window whose menus the program's other windows borrow: the context menus their grids
// pop up and the menu items they switch on and off (Edit > Find). The main window makes
// itself the host when it is built; a lower layer finds its menus here by name instead of
// reaching up to the main window. While no host is set (or it has gone) nothing is found.
#pragma once

#include <QString>

class QAction;
class QMenu;
class QPoint;
class QWidget;

namespace platform::ui {

// Makes the window the host; null removes it.
void setMenuHost(QWidget* host);
QWidget* menuHost();

// The host's menu, or menu item, of that object name; null when there is none.
QMenu* hostMenu(const QString& name);
QAction* hostMenuItem(const QString& name);

// Pops the host's menu of that name up at the global position without waiting for a
// choice; false when there is no such menu.
bool popUpHostMenu(const QString& name, const QPoint& globalPosition);

// Switches the host's menu item of that name on or off; nothing when there is none.
void setHostMenuItemEnabled(const QString& name, bool enabled);

} // namespace platform::ui
