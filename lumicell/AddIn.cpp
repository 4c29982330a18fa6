// See AddIn.h.
#include "lumicell/AddIn.h"

#include "admin/ConfigureAddIn.h"
#include "admin/frmConfigure.h"
#include "core/AppTitle.h"
#include "core/FormUnload.h"
#include "core/MasterDatabaseTables.h"
#include "core/StoreWaitWindow.h"
#include "core/cConnection.h"
#include "core/cDB2.h"
#include "core/startup/DatabaseCheck.h"
#include "core/startup/ReplacementOffer.h"
#include "core/startup/frmAbout.h"
#include "lumicell/AddInFolder.h"
#include "lumicell/AddInHelp.h"
#include "lumicell/CAppClass.h"
#include "lumicell/ParentToExcel.h"
#include "lumicell/buildbudget/frmBuild.h"
#include "lumicell/buildbudget/frmSync.h"
#include "lumicell/cOptions.h"
#include "lumicell/frmRun.h"
#include "platform/sheet/Application.h"
#include "platform/sys/Edition.h"
#include "platform/sys/SettingText.h"
#include "platform/sys/SettingsStore.h"
#include "platform/ui/WindowOpeners.h"

#include <QDir>
#include <QPointer>
#include <QWidget>
#include <memory>

#ifndef LUMIVANE_VERSION_MAJOR
#define LUMIVANE_VERSION_MAJOR 0
#define LUMIVANE_VERSION_MINOR 0
#define LUMIVANE_VERSION_PATCH 0
#endif

namespace lumicell {

namespace {

using platform::sys::kAddInApplication;
using platform::sys::kDesktopApplication;

const QString kRuntime = QStringLiteral("Runtime");

// The add-in's global objects while it is started.
struct Context {
    QPointer<platform::sheet::Application> gXLApp;
    std::unique_ptr<CAppClass> gAppClass;
    cOptions* options = nullptr; // owned by core::gOptions
};

std::unique_ptr<Context>& context() {
    static std::unique_ptr<Context> started;
    return started;
}

Context& started() {
    if (!context() || !context()->gXLApp)
        throw NotStartedError();
    return *context();
}

bool flag(const QString& application, const QString& section, const QString& key) {
    return platform::sys::textToBool(
               platform::sys::readSetting(application, section, key, QStringLiteral("0")))
        .value_or(false);
}

void showAbout(bool splash) {
    core::AboutBoxSetup setup;
    setup.major = LUMIVANE_VERSION_MAJOR;
    setup.minor = LUMIVANE_VERSION_MINOR;
    setup.revision = LUMIVANE_VERSION_PATCH;
    setup.owner = ExcelWindow();
    setup.placeTwips = QPoint(kAboutLeftTwips, kAboutTopTwips);
    core::frmAbout::Display(splash, setup);
}

// The Run Budget dialog, shown modeless (a loaded one brought forward).
bool showRunBudget() {
    frmRun* form = frmRun::loaded();
    if (!form)
        form = new frmRun;
    form->show();
    form->raise();
    form->activateWindow();
    return true;
}

// The configuration window is the add-in's while the add-in is started.
void useAddInConfiguration(platform::sheet::Application& app) {
    admin::ConfigureAddIn addIn;
    addIn.hostMajorVersion = [&app] { return app.majorVersion(); };
    addIn.refreshMasterFile = [] {
        cOptions* options = gOptions();
        if (options && options->AWBSet.compare(QStringLiteral("None"), Qt::CaseInsensitive) != 0)
            options->GetMFInfo(gXLApp());
    };
    addIn.windowAfterSample = kRunBudgetForm;
    admin::setConfigureAddIn(addIn);
    platform::ui::setWindowOpener(kRunBudgetForm, [](QWidget*) { return showRunBudget(); });
}

} // namespace

QString VersionText() {
    return core::appTitle() + QStringLiteral(" Ver %1.%2.%3")
                                  .arg(LUMIVANE_VERSION_MAJOR)
                                  .arg(LUMIVANE_VERSION_MINOR)
                                  .arg(LUMIVANE_VERSION_PATCH);
}

NotStartedError::NotStartedError()
    : std::runtime_error(
          "Object variable not set: the add-in has not been started (OnOpenWorkBook comes first).") {}

cOptions* gOptions() {
    return context() ? context()->options : nullptr;
}

platform::sheet::Application* gXLApp() {
    return context() ? context()->gXLApp.data() : nullptr;
}

void OnOpenWorkBook(platform::sheet::Application& oApp) {
    platform::sys::setEdition(platform::sys::Edition::addIn());
    auto fresh = std::make_unique<Context>();
    fresh->gXLApp = &oApp;
    fresh->gAppClass = std::make_unique<CAppClass>();
    fresh->gAppClass->setXLEventApp(&oApp);
    context() = std::move(fresh);
    useAddInConfiguration(oApp);
    InstallAddInHelp();
    // The data store library's clean-ups (the migration below among them) show their progress
    // in the add-in's wait window.
    core::InstallStoreWaitWindow();

    auto options = std::make_unique<cOptions>();
    context()->options = options.get();
    core::gOptions = std::move(options);
    core::gCnn = std::make_unique<core::cConnection>(
        platform::sys::settingsApplication(),
        QDir(AddInFolder()).filePath(QStringLiteral("samples/sampledb.mdb")));
    platform::sys::writeSetting(kAddInApplication, kRuntime, QStringLiteral("ReplaceDB"),
                                QStringLiteral("1"));
    core::gCnn->LocalCnn();

    if (flag(kDesktopApplication, kRuntime, QStringLiteral("ReplaceDB"))) {
        core::ReplacementSteps steps;
        steps.deletePreviousAfterMigration = true;
        steps.compactAfterYes = true;
        if (core::OfferDatabaseReplacement(steps) == core::ReplacementOutcome::Cancelled)
            return;
    }
    if (!core::MasterDatabaseFound()) {
        core::SayDatabaseMissing();
        return;
    }
    {
        core::cDB2 query;
        query.SetConnection();
        core::AddMissingTables(query.Cnn());
        core::AddMissingIndexes(query.Cnn());
    }
    cOptions& opts = *context()->options;
    opts.ReadValues(&oApp);
    opts.DisplayLumiAlerts = QStringLiteral("True");
    if (!flag(kAddInApplication, QStringLiteral("Options"), QStringLiteral("Splash")))
        showAbout(true);
    else
        platform::sys::writeSetting(kAddInApplication, kRuntime, QStringLiteral("Nope"), QStringLiteral("1"));
}

void AboutBudget() {
    started();
    showAbout(false);
}

void BuildBudget() {
    started();
    frmBuild* dialog = frmBuild::loaded();
    if (!dialog) {
        dialog = new frmBuild(ExcelWindow()); // deleted when it closes
        dialog->Form_Load();
    }
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

void Configure() {
    started();
    admin::frmConfigure* form = admin::frmConfigure::loaded();
    if (!form)
        form = new admin::frmConfigure(ExcelWindow());
    form->show();
    form->raise();
}

void RunBudget() {
    started();
    showRunBudget();
}

void AppShutdown() {
    Context& add = started();
    add.options->DisplayLumiAlerts = QStringLiteral("False");
    add.options->WriteValues();
    for (const QString& form :
         {kRunBudgetForm, kBuildBudgetForm, frmSync::kFormName, kConfigureForm, kAboutForm})
        core::UnloadForm(form);
    RemoveAddInHelp();
    add.gAppClass->setXLEventApp(nullptr);
    admin::setConfigureAddIn(std::nullopt);
    platform::ui::setWindowOpener(kRunBudgetForm, {});
    context().reset();
    core::gOptions.reset();
    core::gCnn.reset();
}

} // namespace lumicell
