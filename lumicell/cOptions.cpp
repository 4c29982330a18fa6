// See cOptions.h.
#include "lumicell/cOptions.h"

#include "lumicell/AddInFolder.h"
#include "platform/sheet/Application.h"
#include "platform/sheet/Workbook.h"
#include "platform/sys/SettingText.h"
#include "platform/sys/SettingsStore.h"

#include <QFileInfo>

namespace lumicell {

namespace {

const QString kErrors = QStringLiteral("Errors");
const QString kCorruptedFilename = QStringLiteral("CorruptedFilename");

QString setting(const QString& section, const QString& key, const QString& defaultValue = {}) {
    return platform::sys::readSetting(platform::sys::settingsApplication(), section, key, defaultValue);
}

} // namespace

void cOptions::ReadValues(const platform::sheet::Application* app) {
    AppPath = AddInFolder();
    UnloadForm = false;
    CancelOp = false;
    if (platform::sheet::Workbook* active = app ? app->activeWorkbook() : nullptr)
        AWBSet = active->name();
    OKCUFClicked = false;
    CorruptedFilename = setting(kErrors, kCorruptedFilename);
}

void cOptions::WriteValues() {
    UnloadForm = true;
    platform::sys::writeSetting(platform::sys::settingsApplication(), kErrors, kCorruptedFilename, QString());
}

void cOptions::GetMFInfo(const platform::sheet::Application* app) {
    if (const auto replies = platform::sys::textToBool(
            setting(QStringLiteral("Options"), QStringLiteral("EmailReplys"), QStringLiteral("1"))))
        EmailReplys = *replies;
    UnloadForm = false;
    if (platform::sheet::Workbook* active = app ? app->activeWorkbook() : nullptr) {
        MasterFilename = active->name();
        MFPath = active->path();
        MFFullPath = active->fullName();
        const QFileInfo name(MasterFilename);
        const QString suffix = name.suffix();
        TestXLS = suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix;
        MasterName = MasterFilename.left(MasterFilename.size() - TestXLS.size());
    }
    FormBldWSBig = false;
}

} // namespace lumicell
