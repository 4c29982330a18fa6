// See AddInHost.h.
#include "lumisheet/AddInHost.h"

#include "lumisheet/HostMessages.h"
#include "platform/sys/SpecialFolders.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>

namespace lumisheet {

namespace {
const QString kLibraryName = QStringLiteral("liblumicell.so");
}

AddInHost::AddInHost() = default;

AddInHost::~AddInHost() {
    // The entry object's code lives in the library: it goes first. The library itself stays
    // mapped (its windows' classes may be in use until the program ends).
    bridge_.reset();
}

QString AddInHost::defaultLibraryPath() {
    const QDir program(platform::sys::programFolder());
    const QString beside = program.filePath(kLibraryName);
    if (QFileInfo::exists(beside))
        return beside;
    return QDir::cleanPath(program.filePath(QStringLiteral("../lumicell/") + kLibraryName));
}

bool AddInHost::load(const QString& libraryPath) {
    library_ = std::make_unique<QLibrary>(libraryPath);
    auto create =
        reinterpret_cast<lumicell::CreateBridgeFunction>(library_->resolve(lumicell::kEntryPointName));
    if (!create) {
        ShowHostMessage(
            kAddInNotLoadedText.arg(QDir::toNativeSeparators(libraryPath), library_->errorString()),
            platform::ui::Buttons::Ok, platform::ui::Icon::Exclamation);
        library_.reset();
        return false;
    }
    bridge_.reset(create());
    return bridge_ != nullptr;
}

bool AddInHost::report(const lumicell::AutomationResult& result) const {
    if (!result.failed())
        return true;
    ShowHostMessage(kAutomationErrorText.arg(result.number).arg(result.description),
                    platform::ui::Buttons::Ok, platform::ui::Icon::Critical);
    return false;
}

bool AddInHost::start(platform::sheet::Application& app) {
    if (!bridge_)
        return false;
    started_ = true;
    return report(bridge_->OnOpenWorkBook(app));
}

bool AddInHost::about() {
    return bridge_ && report(bridge_->AboutBudget());
}

bool AddInHost::buildBudget() {
    return bridge_ && report(bridge_->BuildBudget());
}

bool AddInHost::configure() {
    return bridge_ && report(bridge_->Configure());
}

bool AddInHost::runBudget() {
    return bridge_ && report(bridge_->RunBudget());
}

bool AddInHost::shutDown() {
    if (!bridge_ || !started_)
        return true;
    started_ = false;
    return report(bridge_->AppShutdown());
}

} // namespace lumisheet
