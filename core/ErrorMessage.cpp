// The generic error message; see ErrorMessage.h.
#include "core/ErrorMessage.h"

#include "platform/db/DbError.h"
#include "platform/ui/Ui.h"

namespace core {

QString ErrorMessageText(qint64 number, const QString& description) {
    return QStringLiteral("Error ") + QString::number(number) + QStringLiteral(" has occured. ") +
           description;
}

void ShowErrorMessage(qint64 number, const QString& description, const QString& title) {
    platform::ui::msgBox(ErrorMessageText(number, description), platform::ui::Buttons::Ok, title);
}

void ShowErrorMessage(const std::exception& error, const QString& title) {
    if (const auto* db = dynamic_cast<const platform::db::DbError*>(&error)) {
        ShowErrorMessage(db->number(), db->description(), title);
        return;
    }
    ShowErrorMessage(platform::db::DbError::kGeneral, QString::fromUtf8(error.what()), title);
}

} // namespace core
