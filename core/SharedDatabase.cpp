// See SharedDatabase.h.
#include "core/SharedDatabase.h"

#include "core/AppTitle.h"
#include "core/ErrorMessage.h"
#include "core/cConnection.h"
#include "core/cDB2.h"
#include "core/cDB3.h"
#include "platform/db/DbError.h"
#include "platform/db/Presence.h"
#include "platform/sys/ProgramHook.h"
#include "platform/ui/Ui.h"

#include <QFileInfo>

namespace core {

namespace {

platform::sys::ProgramHook<std::function<void()>> releaser("release of the data environments");
platform::sys::ProgramHook<std::function<void()>> updateEngineRelease("release of the update engine");

// The same file, through links too; a file that is gone is known by its path.
bool sameFile(const QString& a, const QString& b) {
    const QString canonicalA = QFileInfo(a).canonicalFilePath();
    if (!canonicalA.isEmpty())
        return canonicalA == QFileInfo(b).canonicalFilePath();
    return !a.isEmpty() && QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath();
}

void refuse(const QString& path, const QString& whatCannotRun) {
    const bool local = gCnn && sameFile(path, gCnn->LocalCnnPath());
    platform::ui::msgBox(whatCannotRun + (local ? kOtherProgramText : kOthersConnectedText),
                         platform::ui::Buttons::Ok, appTitle(), platform::ui::Icon::Exclamation);
}

} // namespace

OwnUse::OwnUse(std::shared_ptr<platform::db::PresenceHold> hold)
    : hold_(std::move(hold)) {}

OwnUse::~OwnUse() {
    if (hold_)
        hold_->share();
}

OwnUse::OwnUse(OwnUse&& other) noexcept
    : hold_(std::move(other.hold_)) {}

OwnUse& OwnUse::operator=(OwnUse&& other) noexcept {
    if (this != &other) {
        if (hold_)
            hold_->share();
        hold_ = std::move(other.hold_);
    }
    return *this;
}

std::optional<OwnUse> TakeDatabaseForOwnUse(const QString& path, const QString& whatCannotRun) {
    try {
        std::shared_ptr<platform::db::PresenceHold> hold = gCnn ? gCnn->presence() : nullptr;
        if (!hold || !sameFile(hold->databasePath(), path))
            hold = platform::db::PresenceHold::take(path, 0);
        // Taken already by an enclosing operation: that one gives it back.
        if (hold->isOwnUse())
            return OwnUse();
        if (!hold->takeForOwnUse()) {
            refuse(path, whatCannotRun);
            return std::nullopt;
        }
        return OwnUse(std::move(hold));
    } catch (const platform::db::DbError& error) {
        if (error.number() == platform::db::DbError::kFileInUse)
            refuse(path, whatCannotRun);
        else
            ShowErrorMessage(error, appTitle());
        return std::nullopt;
    }
}

std::optional<OwnUse> TakeMasterDatabaseForOwnUse(const QString& whatCannotRun) {
    if (!gCnn || !gCnn->presence())
        return OwnUse();
    return TakeDatabaseForOwnUse(gCnn->LumiCnnPath(), whatCannotRun);
}

void setUpdateEngineRelease(std::function<void()> release) {
    updateEngineRelease.install(std::move(release));
}

void setSharedConnectionsReleaser(std::function<void()> hook) {
    releaser.install(std::move(hook));
}

void ReleaseSharedConnections() {
    gDB2.reset();
    gDB3.reset();
    // Core's own tests release without the program's parts.
    if (updateEngineRelease.installed())
        updateEngineRelease.current()();
    if (releaser.installed())
        releaser.current()();
}

} // namespace core
