// The special folders by their numeric identifiers; see cFolderPath.h.
#include "core/cFolderPath.h"

#include "platform/sys/SpecialFolders.h"

namespace core {

namespace {
// The high byte of an identifier carries request flags ("create", "don't verify"); the
// folder itself is named by the low byte. Every request here creates a missing folder.
constexpr qint32 kFolderMask = 0x00FF;
constexpr qint32 kFlagMask = 0xFF00;
} // namespace

QString cFolderPath::GetFolderPath(qint32 nFolderID) const {
    if (nFolderID & ~(kFolderMask | kFlagMask))
        return {};
    return platform::sys::folderPath(nFolderID & kFolderMask, true);
}

QString cFolderPath::GetWindowsFolderPath() const {
    return GetFolderPath(platform::sys::kWindowsFolderId);
}

QString cFolderPath::GetWindowsSystemFolderPath() const {
    return GetFolderPath(platform::sys::kSystemFolderId);
}

QString cFolderPath::GetProgramFilesFolderPath() const {
    return GetFolderPath(platform::sys::kProgramFilesFolderId);
}

QString cFolderPath::GetCommonFilesFolderPath() const {
    return GetFolderPath(platform::sys::kCommonFilesFolderId);
}

} // namespace core
