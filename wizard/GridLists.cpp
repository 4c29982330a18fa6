// See GridLists.h.
#include "wizard/GridLists.h"

#include "core/AppTitle.h"
#include "core/ErrorMessage.h"
#include "core/cDB2.h"
#include "platform/ui/Ui.h"

#include <QStringList>

namespace wizard {

namespace {

const QString kPlaceholder = QStringLiteral("<Dummy record>");
const QChar kTab = QLatin1Char('\t');

// The column's values in stored order; no value when the query found no rows.
std::optional<QStringList> columnValues(const QString& sql) {
    core::cDB2 query;
    platform::db::Recordset rows;
    if (query.GetRecordset(sql, rows) != core::QueryObject::kRows)
        return std::nullopt;
    QStringList values;
    for (; !rows.eof(); rows.moveNext())
        values << rows.value(0).toString();
    return values;
}

} // namespace

QString GetFolderNamesList() {
    try {
        std::optional<QStringList> names =
            columnValues(QStringLiteral("SELECT Folder_Name FROM FolderNames ORDER BY rowid"));
        if (names)
            names->removeAll(kPlaceholder);
        if (!names || names->isEmpty()) {
            platform::ui::msgBox(QStringLiteral("You will need Folder Names for the next screen."),
                                 platform::ui::Buttons::Ok, core::kAppTitle);
            return {};
        }
        return names->join(kTab);
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error);
        return {};
    }
}

QString GetUsersList() {
    try {
        const std::optional<QStringList> names =
            columnValues(QStringLiteral("SELECT Users FROM UsersData ORDER BY rowid"));
        if (!names) {
            platform::ui::msgBox(QStringLiteral("There aren't any UsersData records.  Add some!"),
                                 platform::ui::Buttons::Ok, QStringLiteral("Lumi"));
            return {};
        }
        return names->join(kTab);
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error);
        return {};
    }
}

} // namespace wizard
