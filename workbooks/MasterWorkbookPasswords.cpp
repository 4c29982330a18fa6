// See MasterWorkbookPasswords.h.
#include "workbooks/MasterWorkbookPasswords.h"

#include "core/AppTitle.h"
#include "core/ErrorMessage.h"
#include "core/cDB2.h"
#include "core/cOptions.h"
#include "platform/sheet/Application.h"
#include "platform/sheet/QuietHost.h"
#include "platform/sheet/Workbook.h"
#include "platform/ui/Ui.h"
#include "workbooks/MasterFileRow.h"

namespace workbooks {

namespace {

using platform::db::Recordset;
using platform::sheet::OpenOptions;
using platform::sheet::SaveOptions;
using platform::sheet::Workbook;

QString context() {
    return core::gOptions ? core::gOptions->BudgetNameContext : QString();
}

core::cDB2& queryObject() {
    if (!core::gDB2)
        core::gDB2 = std::make_unique<core::cDB2>();
    return *core::gDB2;
}

// Opens the workbook at path with the passwords, saves it over itself with the passwords the
// save options say, and closes it.
void resave(const QString& path, const StoredPasswords& stored, const SaveOptions& save) {
    OpenOptions open;
    open.password = stored.open;
    open.writeResPassword = stored.write;
    std::unique_ptr<Workbook> book = Workbook::open(path, open);
    book->saveAs(path, save);
    book->close();
}

void setPasswordsFlag(Recordset& row, bool onFile) {
    row.setValue(QStringLiteral("MFPwdsSet"), onFile ? 1 : 0);
    row.update();
}

// Runs act on the workbook's row, when exactly one matches, through a new gDB2, which is
// released afterwards; a failure is reported and answers false.
template <class Act> bool onMasterRow(const QString& masterFile, Act act) {
    bool answer = false;
    try {
        core::gDB2 = std::make_unique<core::cDB2>();
        Recordset row;
        if (OpenMasterFileRow(*core::gDB2, masterFile, context(), row))
            answer = act(row);
        row.close();
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error);
        answer = false;
    }
    core::gDB2.reset();
    return answer;
}

} // namespace

bool ReadMasterWorkbookPasswords(const QString& masterFile) {
    try {
        Recordset row;
        bool answer = false;
        if (OpenMasterFileRow(queryObject(), masterFile, context(), row)) {
            const StoredPasswords stored = StoredPasswordsOf(row);
            if (stored.open.isEmpty()) {
                core::gOptions->FOPwd.clear();
                core::gOptions->WritePwd.clear();
            } else {
                core::gOptions->FOPwd = stored.open;
                if (stored.write.isEmpty()) {
                    platform::ui::msgBox(kOpenWithoutWriteText, platform::ui::Buttons::Ok, core::appTitle());
                } else {
                    core::gOptions->WritePwd = stored.write;
                    answer = true;
                }
            }
        }
        row.close();
        return answer;
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error);
        return false;
    }
}

bool RemoveMasterWorkbookPasswords(const QString& masterFile) {
    return onMasterRow(masterFile, [](Recordset& row) {
        const StoredPasswords stored = StoredPasswordsOf(row);
        const QString folder = TextOf(row, QStringLiteral("Path"));
        if (folder.isEmpty() || stored.open.isEmpty() || stored.write.isEmpty())
            return false;
        SaveOptions none;
        none.password = QString();
        none.writeResPassword = QString();
        resave(JoinPath(folder, TextOf(row, QStringLiteral("Master_File"))), stored, none);
        setPasswordsFlag(row, false);
        return true;
    });
}

bool ApplyMasterWorkbookPasswords(const QString& masterFile) {
    return onMasterRow(masterFile, [](Recordset& row) {
        const StoredPasswords stored = StoredPasswordsOf(row);
        if (stored.open.isEmpty() || stored.write.isEmpty()) {
            setPasswordsFlag(row, false);
            return false;
        }
        SaveOptions both;
        both.password = stored.open;
        both.writeResPassword = stored.write;
        resave(JoinPath(TextOf(row, QStringLiteral("Path")), TextOf(row, QStringLiteral("Master_File"))),
               stored, both);
        setPasswordsFlag(row, true);
        return true;
    });
}

bool ExcelDisplayOff(platform::sheet::Application& application) {
    application.setVisible(false);
    platform::sheet::setQuiet(application, platform::sheet::Quiet::ScreenAndAlerts, true);
    if (!application.askToUpdateLinks())
        return false;
    application.setAskToUpdateLinks(false);
    return true;
}

void ExcelDisplayOn(platform::sheet::Application& application, bool restoreLinks) {
    platform::sheet::setQuiet(application, platform::sheet::Quiet::ScreenAndAlerts, false);
    if (restoreLinks)
        application.setAskToUpdateLinks(true);
}

} // namespace workbooks
