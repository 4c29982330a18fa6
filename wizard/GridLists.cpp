// See GridLists.h. Each list reads its table through a query object of its own, so that no
// other routine's gDB2 is released under it.
#include "wizard/GridLists.h"

#include "core/AppTitle.h"
#include "core/ErrorMessage.h"
#include "core/cDB2.h"
#include "platform/db/Recordset.h"
#include "platform/sys/PlaceholderRow.h"
#include "platform/ui/Ui.h"
#include "wizard/UsersDataHasRecords.h"

#include <QStringList>

namespace wizard {

namespace {

const QChar kSeparator = u'\t';

// The non-empty texts of the table's one column, in table order.
QStringList namesOf(const QString& sql) {
    core::cDB2 query;
    query.SetConnection();
    platform::db::Recordset rows = platform::db::Recordset::open(query.Cnn(), sql);
    QStringList names;
    for (; !rows.eof(); rows.moveNext())
        if (!rows.isNull(0) && !rows.value(0).toString().isEmpty())
            names << rows.value(0).toString();
    return names;
}

} // namespace

QString GetFolderNamesList() {
    try {
        QStringList names = namesOf(QStringLiteral("SELECT Folder_Name FROM FolderNames ORDER BY rowid"));
        names.removeAll(platform::sys::kPlaceholderText);
        if (names.isEmpty()) {
            platform::ui::msgBox(kNoFolderNamesText, platform::ui::Buttons::Ok, core::appTitle());
            return QString();
        }
        return names.join(kSeparator);
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error);
        return QString();
    }
}

QString GetUsersList() {
    try {
        const QStringList names = namesOf(QStringLiteral("SELECT Users FROM UsersData ORDER BY rowid"));
        if (names.isEmpty()) {
            platform::ui::msgBox(kNoUsersText, platform::ui::Buttons::Ok, QStringLiteral("Lumi"));
            return QString();
        }
        return names.join(kSeparator);
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error);
        return QString();
    }
}

} // namespace wizard
