// The desktop program's options object; see cOptions.h.
#include "core/cOptions.h"

#include "platform/sys/SettingText.h"
#include "platform/sys/SettingsStore.h"
#include "platform/sys/SpecialFolders.h"

namespace core {

std::unique_ptr<cOptions> gOptions;

namespace {
const QString& application() {
    return platform::sys::settingsApplication();
}

// Reads a flag setting into a field; a missing flag reads as its default, a text that is
// no flag leaves the field as it was.
void readFlag(bool& field, const QString& section, const QString& key, const QString& defaultValue) {
    const QString text = platform::sys::readSetting(application(), section, key, defaultValue);
    if (const auto flag = platform::sys::textToBool(text))
        field = *flag;
}
} // namespace

// Each step that cannot be done is passed over and the next one still runs.
void cOptions::ReadValues() {
    const QString folder = platform::sys::programFolder();
    if (!folder.isEmpty())
        AppPath = folder;
    WizPageRequest = 1;
}

void cOptions::WriteValues() {
    // The saved context is the program's one options object's, whichever instance is asked.
    if (gOptions)
        platform::sys::writeSetting(application(), QStringLiteral("Runtime"),
                                    QStringLiteral("BudgetNameContext"), gOptions->BudgetNameContext);
}

void cOptions::GetMFInfo() {
    readFlag(EmailReplys, QStringLiteral("Options"), QStringLiteral("EmailReplys"), QStringLiteral("1"));
    readFlag(RetrieveMailOnOpen, QStringLiteral("Runtime"), QStringLiteral("Xvalue"), QStringLiteral("0"));
}

} // namespace core
