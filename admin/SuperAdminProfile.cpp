// See SuperAdminProfile.h.
#include "admin/SuperAdminProfile.h"

#include "core/AppTitle.h"
#include "core/ErrorMessage.h"
#include "core/StringScrambling.h"
#include "core/cConnection.h"
#include "platform/db/Connection.h"
#include "platform/db/Recordset.h"
#include "platform/sys/PlaceholderRow.h"
#include "platform/ui/Ui.h"

namespace admin {

using core::EncodeString;

namespace {

using platform::db::Recordset;

const QString kName = QStringLiteral("Super_Admin_Name");

platform::db::Connection openMaster() {
    platform::db::Connection db;
    db.open(core::gCnn->LumiCnn());
    return db;
}

} // namespace

void StoreCopyPermission(bool required) {
    try {
        platform::db::Connection db = openMaster();
        Recordset rows =
            Recordset::open(db, QStringLiteral("SELECT Copy_Permissions, Super_Admin_Name FROM "
                                               "SuperAdminUser WHERE Super_Admin_Name Is Not Null "
                                               "ORDER BY rowid"));
        const int count = rows.recordCount();
        const bool placeholderFirst =
            count == 2 && rows.value(kName).toString() == platform::sys::kPlaceholderText;
        if (count != 1 && !placeholderFirst) {
            platform::ui::msgBox(QString::fromLatin1(kCorruptedProfileText), platform::ui::Buttons::Ok,
                                 core::appTitle());
            return;
        }
        if (placeholderFirst) {
            rows.deleteCurrent();
            rows.moveNext();
        }
        rows.setValue(QStringLiteral("Copy_Permissions"),
                      EncodeString(required ? QStringLiteral("True") : QStringLiteral("False")));
        rows.update();
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error, core::appTitle());
    }
}

void StoreViewMode(bool contextOnly) {
    try {
        platform::db::Connection db = openMaster();
        Recordset rows = Recordset::open(
            db,
            QStringLiteral("SELECT * FROM SuperAdminUser WHERE Super_Admin_Name Is Not Null ORDER BY rowid"));
        for (; !rows.eof(); rows.moveNext()) {
            if (rows.value(kName).toString() == platform::sys::kPlaceholderText)
                continue;
            rows.setValue(QStringLiteral("View_Mode"),
                          EncodeString(contextOnly ? QStringLiteral("Context") : QStringLiteral("All")));
            rows.update();
            return;
        }
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error, core::appTitle());
    }
}

} // namespace admin
