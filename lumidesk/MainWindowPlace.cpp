// See MainWindowPlace.h.
#include "lumidesk/MainWindowPlace.h"

#include "core/cOptions.h"
#include "lumidesk/DesktopSettings.h"
#include "platform/sys/SettingText.h"

namespace lumidesk {

namespace {

const QString kOptions = QStringLiteral("Options");
const QString kRuntime = QStringLiteral("Runtime");

constexpr int kLeastStoredWidth = 12600;
constexpr int kNarrowWidth = 12540;
constexpr int kLeastStoredHeight = 9700;
constexpr int kLowHeight = 9600;

} // namespace

QString DisplayClassFor(int screenWidthPixels) {
    if (screenWidthPixels == 1024)
        return kDisplay1024;
    if (screenWidthPixels == 800)
        return kDisplay800;
    return kDisplayOther;
}

void ApplyDisplayClass(int screenWidthPixels) {
    const QString found = DisplayClassFor(screenWidthPixels);
    const QString stored = settingText(kOptions, QStringLiteral("Resolution"));
    if (!stored.isEmpty() && stored == found)
        return;
    core::cOptions& options = *core::gOptions;
    if (found == kDisplay1024) {
        writeSettingText(kOptions, QStringLiteral("Scrollbars"), QStringLiteral("0"));
        writeSettingText(kOptions, QStringLiteral("Resize"), QStringLiteral("0"));
        options.ScrollBars = false;
        options.Resize = false;
    } else if (found == kDisplay800) {
        writeSettingText(kOptions, QStringLiteral("Resize"), QStringLiteral("0"));
        writeSettingText(kOptions, QStringLiteral("Scrollbars"), QStringLiteral("1"));
        options.ScrollBars = true;
        options.Resize = false;
    } else {
        options.ScrollBars = false;
        options.Resize = false;
    }
    writeSettingText(kOptions, QStringLiteral("Resolution"), found);
}

WindowPlace StoredWindowPlace() {
    WindowPlace place;
    place.left = settingNumber(kRuntime, QStringLiteral("MainLeft"), kDefaultWindowPlace.left);
    place.top = settingNumber(kRuntime, QStringLiteral("MainTop"), kDefaultWindowPlace.top);
    const int width = settingNumber(kRuntime, QStringLiteral("MainWidth"), kDefaultWindowPlace.width);
    place.width = width > kLeastStoredWidth ? width : kNarrowWidth;
    const int height = settingNumber(kRuntime, QStringLiteral("MainHeight"), kDefaultWindowPlace.height);
    place.height = height > kLeastStoredHeight ? height : kLowHeight;
    return place;
}

void SaveWindowPlace(const WindowPlace& place) {
    writeSettingText(kRuntime, QStringLiteral("MainLeft"), platform::sys::intToText(place.left));
    writeSettingText(kRuntime, QStringLiteral("MainTop"), platform::sys::intToText(place.top));
    writeSettingText(kRuntime, QStringLiteral("MainWidth"), platform::sys::intToText(place.width));
    writeSettingText(kRuntime, QStringLiteral("MainHeight"), platform::sys::intToText(place.height));
}

} // namespace lumidesk
