// Reading and writing the desktop program's own settings (application "Lumivane") as the
// windows use them: flags and numbers with a default, where a stored text that is no valid
// flag or number reads as the default, so one bad value never stops a window's set-up.
#pragma once

#include <QString>

namespace lumidesk {

bool settingFlag(const QString& section, const QString& key, bool defaultValue);
int settingNumber(const QString& section, const QString& key, int defaultValue);
QString settingText(const QString& section, const QString& key, const QString& defaultValue = {});
void writeSettingText(const QString& section, const QString& key, const QString& value);

} // namespace lumidesk
