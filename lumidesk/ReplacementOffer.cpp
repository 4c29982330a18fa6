// See ReplacementOffer.h.
#include "lumidesk/ReplacementOffer.h"

#include "core/AppTitle.h"
#include "core/cConnection.h"
#include "core/cOptions.h"
#include "lumidesk/FileLookup.h"
#include "lumistore/Lumistore.h"
#include "platform/sys/SettingsStore.h"
#include "platform/ui/Ui.h"
#include "wizard/RelinkAllBudgets.h"

#include <QFile>

namespace lumidesk {

namespace {

using platform::ui::Answer;
using platform::ui::Buttons;

const QString kRuntime = QStringLiteral("Runtime");
const QString kReplaceDB = QStringLiteral("ReplaceDB");

bool previousDatabasePresent() {
    return FileFoundAs(core::gCnn->OLumiCnnPath(), core::cConnection::kPreviousFileName);
}

void migrate() {
    lumistore::cClean gClean;
    gClean.MigrateOldData(core::gCnn->LumiCnn(), core::gCnn->OLumiCnn());
    wizard::RelinkAllBudgets();
    platform::sys::writeSetting(platform::sys::kDesktopApplication, kRuntime, kReplaceDB,
                                QStringLiteral("0"));
    platform::sys::writeSetting(platform::sys::kAddInApplication, kRuntime, kReplaceDB, QStringLiteral("0"));
    core::gOptions->InstallSample = false;
    platform::sys::writeSetting(platform::sys::settingsApplication(), kRuntime,
                                QStringLiteral("InstallSample"), QStringLiteral("0"));
    gClean.SweepRecords(core::gCnn->LumiCnn(), QString());
}

} // namespace

ReplacementOutcome OfferDatabaseReplacement() {
    const Answer answer = platform::ui::msgBox(kReplacedQuestion, Buttons::YesNoCancel, core::appTitle());
    if (answer == Answer::Yes) {
        if (!previousDatabasePresent()) {
            platform::ui::msgBox(kPreviousMissingText, Buttons::Ok, core::appTitle());
            return ReplacementOutcome::GoOn;
        }
        migrate();
        return ReplacementOutcome::GoOn;
    }
    if (answer == Answer::No) {
        if (previousDatabasePresent() && QFile::remove(core::gCnn->OLumiCnnPath()))
            platform::sys::writeSetting(platform::sys::kDesktopApplication, kRuntime, kReplaceDB,
                                        QStringLiteral("0"));
        return ReplacementOutcome::GoOn;
    }
    return ReplacementOutcome::End;
}

} // namespace lumidesk
