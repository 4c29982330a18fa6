// The per-user settings store over INI files; see SettingsStore.h.
#include "platform/sys/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>
#include <QTemporaryFile>

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

// QSettings keeps the files it has parsed in a cache and reports a parse failure only to the
// first reader; a private copy beside the file (owner-only, removed at once) is parsed afresh.
bool readableAsSettings(const QString& path) {
    QFile original(path);
    QTemporaryFile copy(path + QStringLiteral(".XXXXXX"));
    if (!original.open(QIODevice::ReadOnly) || !copy.open() || copy.write(original.readAll()) < 0)
        return true; // nothing to judge by: leave the file where it is
    copy.close();
    return QSettings(copy.fileName(), QSettings::IniFormat).status() != QSettings::FormatError;
}

// A file the settings reader refuses would make every later write report a failure, and the
// lines it could not read would be dropped without a word: it is kept aside, byte for byte
// and owner-only, under "<file>.unreadable" (an older such copy is replaced), and the store
// starts a fresh file.
void keepAsideIfUnreadable(const QString& path) {
    if (!QFileInfo::exists(path) || readableAsSettings(path))
        return;
    const QString aside = path + QStringLiteral(".unreadable");
    QFile::remove(aside);
    if (QFile::rename(path, aside))
        QFile::setPermissions(aside, kOwnerOnly);
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
    QFile::setPermissions(path, kOwnerOnly);
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
    keepAsideIfUnreadable(path);
    prepareFile(path);
    QSettings settings(path, QSettings::IniFormat);
    settings.setValue(settingName(section, key), value);
    return finishWrite(settings, path);
}

bool deleteSetting(const QString& application, const QString& section, const QString& key) {
    if (!validName(section, key))
        return false;
    const QString path = settingsFilePath(application);
    keepAsideIfUnreadable(path);
    if (!QFileInfo::exists(path))
        return true;
    QSettings settings(path, QSettings::IniFormat);
    settings.remove(settingName(section, key));
    return finishWrite(settings, path);
}

} // namespace platform::sys
