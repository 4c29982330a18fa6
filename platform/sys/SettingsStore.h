// The per-user settings store: one INI file per application name below the user's
// configuration folder, addressed by application, section and key. Every value is text.
// Sections and keys are matched without regard to case, so "ScrollBars" and
// "Scrollbars" name one setting. The files hold scrambled passwords and are kept
// readable by their owner only.
#pragma once

#include "platform/sys/Edition.h"

#include <QString>

namespace platform::sys {

// Application names under which the desktop program and the add-in keep their settings. A
// routine reads and writes its own program's settings under settingsApplication()
// (Edition.h); these names are for a setting that one program keeps for the other.
inline const QString kDesktopApplication = QStringLiteral("Lumivane");
inline const QString kAddInApplication = QStringLiteral("LumivaneXL");

// The file that holds one application's settings:
// $XDG_CONFIG_HOME/Lumivane/<application>.ini ($XDG_CONFIG_HOME defaults to ~/.config).
// The environment is read at each call.
QString settingsFilePath(const QString& application);

// The stored text, or defaultValue when the setting is absent (or the file unreadable).
// Section and key are plain non-empty names without "/" or "\"; others read the default
// and cannot be written or deleted.
QString readSetting(const QString& application, const QString& section, const QString& key,
                    const QString& defaultValue = {});

// Stores the text; false when the file could not be written. A file that cannot be read as
// settings is first kept aside as "<file>.unreadable" and a fresh file is started. Reading and
// writing both leave the file readable by its owner only.
bool writeSetting(const QString& application, const QString& section, const QString& key,
                  const QString& value);

// Removes the setting; an absent one is no error. False when the file could not be written.
bool deleteSetting(const QString& application, const QString& section, const QString& key);

} // namespace platform::sys
