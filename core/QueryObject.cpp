// See QueryObject.h.
#include "core/QueryObject.h"

#include "core/cConnection.h"
#include "platform/db/DbError.h"
#include "platform/ui/Ui.h"

namespace core {

using platform::db::DbError;
using platform::db::Recordset;

QueryObject::QueryObject(QString title)
    : title_(std::move(title)) {}

QueryObject::~QueryObject() {
    // Closing hands the engine handle back to the pool (rolling back a transaction left
    // open); it reports no failure, so there is nothing to show here.
    if (cnn_.state() == platform::db::Connection::kStateOpen)
        cnn_.close();
}

void QueryObject::SetConnection() {
    if (cnn_.state() == platform::db::Connection::kStateOpen)
        return;
    if (!gCnn)
        throw DbError(DbError::kGeneral, QStringLiteral("The connection descriptor is not set up."));
    cnn_.open(gCnn->LumiCnn());
}

qint32 QueryObject::failure(const DbError& error) {
    if (error.number() == DbError::kAuthenticationFailed)
        platform::ui::msgBox(kLogonRefusedText, platform::ui::Buttons::Ok, title_);
    else if (error.number() == DbError::kPasswordChanged)
        platform::ui::msgBox(error.description(), platform::ui::Buttons::Ok, title_);
    else
        return kFailed;
    return kLogonRefused;
}

qint32 QueryObject::GetRecordset(const QString& strSQL, Recordset& rst, const QVariantList& params) {
    try {
        SetConnection();
    } catch (const DbError& error) {
        return failure(error);
    } catch (const std::exception&) {
        return kFailed;
    }
    rst = Recordset();
    try {
        rst = Recordset::open(cnn_, strSQL, params);
        if (rst.eof())
            return kNoRows;
        rst.moveFirst();
        return kRows;
    } catch (const DbError& error) {
        return failure(error);
    } catch (const std::exception&) {
        return kFailed;
    }
}

} // namespace core
