// See cDelete.h.
#include "lumistore/cDelete.h"

#include "lumistore/Failure.h"
#include "lumistore/cClean.h"
#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "platform/db/Recordset.h"
#include "platform/sys/PlaceholderRow.h"
#include "platform/ui/Ui.h"

#include <optional>

namespace lumistore {

namespace {

using platform::db::Connection;
using platform::db::DbError;
using platform::db::Recordset;

const QString kTitle = QStringLiteral("Lumivane");

void tell(const QString& text) {
    platform::ui::msgBox(text, platform::ui::Buttons::Ok, kTitle);
}

// The rows behind a grid: the statement that selects their key column, and that column.
struct GridRows {
    QString statement;
    QString keyColumn;
};

std::optional<GridRows> rowsOfGrid(const QString& grid, bool messages) {
    if (grid == QLatin1String("dtAdmin"))
        return GridRows{QStringLiteral("SELECT Admin_Name, RecType FROM Admin WHERE Admin_Name is not null"),
                        QStringLiteral("Admin_Name")};
    if (grid == QLatin1String("dtFolderNames"))
        return GridRows{QStringLiteral("SELECT Folder_Name FROM FolderNames WHERE Folder_Name is not null"),
                        QStringLiteral("Folder_Name")};
    if (grid == QLatin1String("dtMsgs") && messages)
        return GridRows{QStringLiteral("SELECT Subject FROM Subject WHERE Subject is not null"),
                        QStringLiteral("Subject")};
    if (grid == QLatin1String("dtMsgs"))
        return GridRows{QStringLiteral("SELECT Body_Text FROM BodyText WHERE Body_Text is not null"),
                        QStringLiteral("Body_Text")};
    if (grid == QLatin1String("dtUsersData"))
        return GridRows{QStringLiteral("SELECT Users FROM UsersData WHERE Users is not null"),
                        QStringLiteral("Users")};
    if (grid == QLatin1String("dtAdminUsers"))
        return GridRows{
            QStringLiteral("SELECT AdminUser_Name FROM AdminUsers WHERE AdminUser_Name is not null"),
            QStringLiteral("AdminUser_Name")};
    // The errors list is keyed by its row number: rows written in the same second share
    // their Error_Date.
    if (grid == QLatin1String("dtErrors"))
        return GridRows{QStringLiteral("SELECT ID FROM Errors WHERE Error_Date Is Not Null"),
                        QStringLiteral("ID")};
    return std::nullopt;
}

// The key as text: a number in its plain decimal form, a text as it is.
QString keyText(const QVariant& value) {
    if (!value.isValid() || value.isNull())
        return {};
    return value.toString();
}

} // namespace

void cDelete::DeleteLumiRecords(Recordset& rstControlName) {
    raising([&] {
        if (rstControlName.recordCount() < 1) {
            tell(QStringLiteral("There are no records.  Run the System Clean function."));
            return;
        }
        for (rstControlName.moveFirst(); !rstControlName.eof(); rstControlName.moveNext())
            rstControlName.deleteCurrent();
    });
}

qint32 cDelete::DelSelRecord(Recordset& rstControlName, qint16 intField, bool blnInstallSample) {
    Q_UNUSED(blnInstallSample);
    return raising([&]() -> qint32 {
        // Where the recordset stands is looked at before any field is read.
        if (rstControlName.bof() && !rstControlName.eof()) {
            tell(QStringLiteral("BOF is true and you cannot delete."));
            return kBeforeFirstRow;
        }
        if (rstControlName.eof() || keyText(rstControlName.value(intField)).isEmpty()) {
            tell(QStringLiteral("You can't delete the Add!"));
            return 0;
        }
        if (rstControlName.recordCount() < 2) {
            rstControlName.deleteCurrent();
            if (rstControlName.recordCount() > 0)
                rstControlName.moveFirst();
            return 0;
        }
        const int position = rstControlName.absolutePosition();
        rstControlName.deleteCurrent();
        if (position == 1)
            rstControlName.moveNext();
        else
            rstControlName.movePrevious();
        return 0;
    });
}

qint32 cDelete::DeleteLumiXLRecord(const QString& strDataTable, const QString& strFieldValue, qint16 intRow,
                                   const QString& strLumiConnection, bool blnMessages,
                                   const QString& strRecType) {
    Q_UNUSED(intRow);
    return raising([&]() -> qint32 {
        Connection connection;
        connection.open(strLumiConnection);
        const std::optional<GridRows> grid = rowsOfGrid(strDataTable, blnMessages);
        if (!grid)
            throw DbError(DbError::kCommandError,
                          QStringLiteral("No table belongs to the grid '%1'.").arg(strDataTable));
        Recordset rows = Recordset::open(connection, grid->statement);
        const bool onlyRow = rows.recordCount() == 1;
        for (; !rows.eof(); rows.moveNext()) {
            if (keyText(rows.value(grid->keyColumn)) != strFieldValue)
                continue;
            if (!strRecType.isEmpty() &&
                rows.value(QStringLiteral("RecType")).toString().compare(strRecType, Qt::CaseInsensitive) !=
                    0)
                continue;
            // The placeholder that keeps a table from being empty stays.
            if (onlyRow && strFieldValue == platform::sys::kPlaceholderText)
                return kPlaceholderKept;
            rows.deleteCurrent();
            return onlyRow ? kLastRowDeleted : kDeleted;
        }
        return kNotFound;
    });
}

} // namespace lumistore
