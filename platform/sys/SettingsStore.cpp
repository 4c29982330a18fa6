#include "platform/sys/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>

namespace platform::sys {

namespace {

constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

QString configHome() {
    const QString fromEnv = qEnvironmentVariable("XDG_CONFIG_HOME");
    // A relative or empty value is to be ignored, as the folder convention says.
    if (!fromEnv.isEmpty() && QDir::isAbsolutePath(fromEnv))
        return QDir::cleanPath(fromEnv);
    return QDir::homePath() + QStringLiteral("/.config");
}

// Section and key must be plain names: QSettings would read a "/" or "\" as a nested
// section, and an empty name as the whole section.
bool validName(const QString& section, const QString& key) {
    auto plain = [](const QString& name) {
        return !name.isEmpty() && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'));
    };
    return plain(section) && plain(key);
}

// QSettings compares names exactly on this platform; one spelling per setting makes the
// store blind to case. Lower case also keeps the section "General" clear of the name
// QSettings reserves for keys outside any section.
QString settingName(const QString& section, const QString& key) {
    return section.toLower() + QLatin1Char('/') + key.toLower();
}

// Creates the file with owner-only access before QSettings first writes it; QSettings
// replaces the file through a temporary copy that keeps the permissions it finds.
void prepareFile(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!QFileInfo::exists(path)) {
        QFile file(path);
        file.open(QIODevice::WriteOnly | QIODevice::NewOnly, kOwnerOnly);
    }
}

bool finishWrite(QSettings& settings, const QString& path) {
    settings.sync();
    const bool written = settings.status() == QSettings::NoError;
    QFile::setPermissions(path, kOwnerOnly);
    return written;
}

} // namespace

QString settingsFilePath(const QString& application) {
    return configHome() + QStringLiteral("/Lumivane/") + application + QStringLiteral(".ini");
}

QString readSetting(const QString& application, const QString& section, const QString& key,
                    const QString& defaultValue) {
    const QString path = settingsFilePath(application);
    if (!validName(section, key) || !QFileInfo::exists(path))
        return defaultValue;
    QSettings settings(path, QSettings::IniFormat);
    const QVariant value = settings.value(settingName(section, key));
    if (!value.isValid())
        return defaultValue;
    // A hand-edited line with unquoted commas reads back as a list; keep it as the text it was.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", "));
    return value.toString();
}

bool writeSetting(const QString& application, const QString& section, const QString& key,
                  const QString& value) {
    if (!validName(section, key))
        return false;
    const QString path = settingsFilePath(application);
    prepareFile(path);
    QSettings settings(path, QSettings::IniFormat);
    settings.setValue(settingName(section, key), value);
    return finishWrite(settings, path);
}

bool deleteSetting(const QString& application, const QString& section, const QString& key) {
    if (!validName(section, key))
        return false;
    const QString path = settingsFilePath(application);
    if (!QFileInfo::exists(path))
        return true;
    QSettings settings(path, QSettings::IniFormat);
    settings.remove(settingName(section, key));
    return finishWrite(settings, path);
}

} // namespace platform::sys
