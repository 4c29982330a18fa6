// See UsersDataHasRecords.h.
#include "wizard/UsersDataHasRecords.h"

#include "core/ErrorMessage.h"
#include "core/cDB3.h"
#include "platform/db/Recordset.h"
#include "platform/ui/Ui.h"

namespace wizard {

void UsersDataHasRecords() {
    try {
        core::cDB3 query;
        platform::db::Recordset rst;
        if (query.GetRecordset(QStringLiteral("SELECT * FROM UsersData"), rst) == core::QueryObject::kNoRows)
            platform::ui::msgBox(kNoUsersText, platform::ui::Buttons::Ok, QStringLiteral("Lumi"));
        rst.close();
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error);
    }
}

} // namespace wizard
