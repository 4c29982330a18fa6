// See DesktopSettings.h.
#include "lumidesk/DesktopSettings.h"

#include "platform/sys/SettingText.h"
#include "platform/sys/SettingsStore.h"

namespace lumidesk {

using platform::sys::settingsApplication;

bool settingFlag(const QString& section, const QString& key, bool defaultValue) {
    const QString text = platform::sys::readSetting(settingsApplication(), section, key);
    return platform::sys::textToBool(text).value_or(defaultValue);
}

int settingNumber(const QString& section, const QString& key, int defaultValue) {
    const QString text = platform::sys::readSetting(settingsApplication(), section, key);
    return platform::sys::textToInt(text).value_or(defaultValue);
}

QString settingText(const QString& section, const QString& key, const QString& defaultValue) {
    return platform::sys::readSetting(settingsApplication(), section, key, defaultValue);
}

void writeSettingText(const QString& section, const QString& key, const QString& value) {
    platform::sys::writeSetting(settingsApplication(), section, key, value);
}

} // namespace lumidesk
