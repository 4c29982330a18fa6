#include "lumidesk/Startup.h"

#include "core/AppTitle.h"
#include "core/ErrorMessage.h"
#include "core/cConnection.h"
#include "core/cDB2.h"
#include "core/cOptions.h"
#include "platform/db/Recordset.h"
#include "platform/ui/Ui.h"

#include <QDir>
#include <QFileInfo>

namespace lumidesk {

namespace {

const QString kVersionCheckQuery = QStringLiteral("SELECT * FROM Budgets WHERE Budget_Name Is Not Null");

void say(const QString& text) {
    platform::ui::msgBox(text, platform::ui::Buttons::Ok, core::kAppTitle);
}

// The file must be there under exactly its own name.
bool masterDatabasePresent(const QString& path) {
    const QFileInfo info(path);
    const QStringList found = QDir(info.absolutePath()).entryList({info.fileName()}, QDir::Files);
    return found.contains(QStringLiteral("lumimaster.mdb"));
}

// Runs the version query: a refused password ends the start-up (the query object has said
// so), a Budgets table without its 14 columns too; any other failure lets the start-up go on.
bool versionCheckPasses() {
    core::gDB2 = std::make_unique<core::cDB2>();
    platform::db::Recordset rst;
    const qint32 status = core::gDB2->GetRecordset(kVersionCheckQuery, rst);
    bool passes = true;
    if (status == core::QueryObject::kLogonRefused) {
        passes = false;
    } else if (status == core::QueryObject::kRows || status == core::QueryObject::kNoRows) {
        if (rst.fieldCount() != kBudgetsColumnCount) {
            say(QStringLiteral(
                "The database module is corrupted or an illegal version.  Re-install Lumivane and "
                "restore from a backup copy."));
            passes = false;
        }
    }
    rst.close();
    core::gDB2.reset();
    return passes;
}

} // namespace

bool RunStartupChecks() {
    try {
        core::gOptions = std::make_unique<core::cOptions>();
        core::gCnn = std::make_unique<core::cConnection>();
        core::gOptions->ReadValues();
        core::gCnn->LocalCnn();

        if (!masterDatabasePresent(core::gCnn->LumiCnnPath())) {
            say(QStringLiteral("The database file is missing.  Copy it to ") + core::gCnn->LumiCnnPath() +
                QStringLiteral(" or re-install Lumivane."));
            return false;
        }
        return versionCheckPasses();
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error);
        return false;
    }
}

} // namespace lumidesk
