// See ReportError.h.
#include "workbooks/ReportError.h"

#include "core/ErrorMessage.h"
#include "platform/db/DbError.h"
#include "platform/sheet/SheetError.h"

namespace workbooks {

void ReportError(const std::exception& error) {
    ReportError(error, QString());
}

QString ErrorDescription(const std::exception& error) {
    if (const auto* sheet = dynamic_cast<const platform::sheet::SheetError*>(&error))
        return sheet->description();
    if (const auto* db = dynamic_cast<const platform::db::DbError*>(&error))
        return db->description();
    return QString::fromUtf8(error.what());
}

void ReportError(const std::exception& error, const QString& what, const QString& title) {
    if (const auto* sheet = dynamic_cast<const platform::sheet::SheetError*>(&error)) {
        core::ShowErrorMessage(sheet->number(), what + sheet->description(), title);
        return;
    }
    if (const auto* db = dynamic_cast<const platform::db::DbError*>(&error)) {
        core::ShowErrorMessage(db->number(), what + db->description(), title);
        return;
    }
    core::ShowErrorMessage(platform::db::DbError::kGeneral, what + QString::fromUtf8(error.what()), title);
}

} // namespace workbooks
