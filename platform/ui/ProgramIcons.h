// The pictures of the programs' toolbar buttons and menu items, and their window icons. A
// picture is the desktop's icon theme's, found by its freedesktop icon name (QIcon::fromTheme),
// else the program's own drawing of that name built into it (platform/ui/icons, drawn for this
// program and under its licence): on a desktop without an icon theme, or whose theme lacks a
// name, the same meaning still shows. The window icons are always the programs' own.
#pragma once

#include <QIcon>
#include <QString>

namespace platform::ui {

inline const QString kLumideskIcon = QStringLiteral("lumidesk");
inline const QString kLumisheetIcon = QStringLiteral("lumisheet");

// The theme's picture of the freedesktop icon name, else the own drawing of that name (a null
// icon for a name without one).
QIcon themeIcon(const QString& name);

// A program's own window icon (kLumideskIcon, kLumisheetIcon).
QIcon programIcon(const QString& program);

// True when the program carries its own drawing of the name.
bool hasOwnDrawing(const QString& name);

} // namespace platform::ui
