// See GetDefaultAuthor.h.
#include "wizard/GetDefaultAuthor.h"

#include "core/AppTitle.h"
#include "core/ErrorMessage.h"
#include "core/cDB3.h"
#include "platform/db/Recordset.h"
#include "platform/sys/PlaceholderRow.h"
#include "platform/ui/Ui.h"

namespace wizard {

namespace {

const QString kDefaultAuthorQuery = QStringLiteral(
    "SELECT Admin_Name, Admin_Email_Address, Mail_Server, Pop3_Server, \"Default\", Pop3_Account "
    "From Admin WHERE \"Default\" = 1");

} // namespace

QString GetDefaultAuthor(int item, bool showMessage) {
    try {
        core::cDB3 query;
        platform::db::Recordset rst;
        if (query.GetRecordset(kDefaultAuthorQuery, rst) != core::QueryObject::kRows ||
            rst.recordCount() != 1)
            return {};
        if (rst.value(QStringLiteral("Admin_Name")).toString() == platform::sys::kPlaceholderText) {
            if (showMessage)
                platform::ui::msgBox(kNoAuthorText, platform::ui::Buttons::Ok, core::appTitle());
            return {};
        }
        switch (item) {
        case 0:
            return rst.value(QStringLiteral("Admin_Name")).toString();
        case 1:
            return rst.value(QStringLiteral("Admin_Email_Address")).toString();
        default:
            return {};
        }
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error);
        return {};
    }
}

} // namespace wizard
