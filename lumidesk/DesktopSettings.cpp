// See DesktopSettings.h.
#include "lumidesk/DesktopSettings.h"

#include "platform/sys/SettingText.h"
#include "platform/sys/SettingsStore.h"

namespace lumidesk {

using platform::sys::kDesktopApplication;

bool settingFlag(const QString& section, const QString& key, bool defaultValue) {
    const QString text = platform::sys::readSetting(kDesktopApplication, section, key);
    return platform::sys::textToBool(text).value_or(defaultValue);
}

int settingNumber(const QString& section, const QString& key, int defaultValue) {
    const QString text = platform::sys::readSetting(kDesktopApplication, section, key);
    return platform::sys::textToInt(text).value_or(defaultValue);
}

QString settingText(const QString& section, const QString& key, const QString& defaultValue) {
    return platform::sys::readSetting(kDesktopApplication, section, key, defaultValue);
}

void writeSettingText(const QString& section, const QString& key, const QString& value) {
    platform::sys::writeSetting(kDesktopApplication, section, key, value);
}

} // namespace lumidesk
