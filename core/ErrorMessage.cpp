// The generic error message; see ErrorMessage.h.
#include "core/ErrorMessage.h"

#include "lumistore/LumistoreError.h"
#include "platform/db/DbError.h"
#include "platform/sheet/SheetError.h"
#include "platform/ui/Ui.h"

namespace core {

QString ErrorMessageText(qint64 number, const QString& description) {
    return QStringLiteral("Error ") + QString::number(number) + QStringLiteral(" has occured. ") +
           description;
}

void ShowErrorMessage(qint64 number, const QString& description, const QString& title) {
    platform::ui::msgBox(ErrorMessageText(number, description), platform::ui::Buttons::Ok, title);
}

ErrorInfo ErrorInfoOf(const std::exception& error) {
    if (const auto* sheet = dynamic_cast<const platform::sheet::SheetError*>(&error))
        return {sheet->number(), sheet->description()};
    if (const auto* db = dynamic_cast<const platform::db::DbError*>(&error))
        return {db->number(), db->description()};
    if (const auto* store = dynamic_cast<const lumistore::LumistoreError*>(&error))
        return {store->number(), store->description()};
    return {platform::db::DbError::kGeneral, QString::fromUtf8(error.what())};
}

void ShowErrorMessage(const std::exception& error, const QString& title) {
    const ErrorInfo info = ErrorInfoOf(error);
    ShowErrorMessage(info.number, info.description, title);
}

} // namespace core
