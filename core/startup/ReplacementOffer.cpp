// See ReplacementOffer.h.
#include "core/startup/ReplacementOffer.h"

#include "core/DatabaseUpkeep.h"
#include "core/SharedDatabase.h"
#include "core/cConnection.h"
#include "core/cOptions.h"
#include "core/startup/DatabaseCheck.h"
#include "lumistore/Lumistore.h"
#include "platform/sys/SettingsStore.h"
#include "platform/ui/Ui.h"

#include <QFile>

namespace core {

namespace {

using platform::ui::Answer;
using platform::ui::Buttons;

const QString kRuntime = QStringLiteral("Runtime");
const QString kReplaceDB = QStringLiteral("ReplaceDB");

void migrate(const ReplacementSteps& steps) {
    const auto ownUse = TakeMasterDatabaseForOwnUse(QStringLiteral("The data can't be migrated"));
    if (!ownUse)
        return;
    lumistore::cClean gClean;
    gClean.MigrateOldData(gCnn->LumiCnn(), gCnn->OLumiCnn());
    // Reached only when the migration succeeded: a failed one has been raised.
    if (steps.afterMigration)
        steps.afterMigration();
    if (steps.deletePreviousAfterMigration)
        QFile::remove(gCnn->OLumiCnnPath());
    platform::sys::writeSetting(platform::sys::kAddInApplication, kRuntime, kReplaceDB, QStringLiteral("0"));
    platform::sys::writeSetting(platform::sys::kDesktopApplication, kRuntime, kReplaceDB,
                                QStringLiteral("0"));
    if (gOptions)
        gOptions->InstallSample = false;
    platform::sys::writeSetting(platform::sys::settingsApplication(), kRuntime,
                                QStringLiteral("InstallSample"), QStringLiteral("0"));
    gClean.SweepRecords(gCnn->LumiCnn(), QString());
}

} // namespace

ReplacementOutcome OfferDatabaseReplacement(const ReplacementSteps& steps) {
    const Answer answer = platform::ui::msgBox(kReplacedQuestion, Buttons::YesNoCancel, steps.title);
    if (answer == Answer::Yes) {
        if (PreviousDatabaseFound())
            migrate(steps);
        else
            platform::ui::msgBox(kPreviousMissingText, Buttons::Ok, steps.title);
        if (steps.compactAfterYes)
            CompactDatabase();
        return ReplacementOutcome::GoOn;
    }
    if (answer == Answer::No) {
        if (PreviousDatabaseFound() && QFile::remove(gCnn->OLumiCnnPath()))
            platform::sys::writeSetting(platform::sys::kDesktopApplication, kRuntime, kReplaceDB,
                                        QStringLiteral("0"));
        return ReplacementOutcome::GoOn;
    }
    return ReplacementOutcome::Cancelled;
}

} // namespace core
