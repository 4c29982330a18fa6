// See ConfigGridSupport.h.
#include "admin/ConfigGridSupport.h"

#include "admin/AccountRules.h"
#include "admin/ConfigGrids.h"
#include "core/AppTitle.h"
#include "core/cConnection.h"
#include "core/cOptions.h"
#include "platform/ui/EditGrid.h"
#include "platform/ui/Ui.h"

#include <QWidget>
#include <stdexcept>

namespace admin::detail {

platform::ui::EditGrid* activeGrid(const QString& name) {
    QWidget* form = core::gOptions ? core::gOptions->ActiveForm.data() : nullptr;
    return form ? form->findChild<platform::ui::EditGrid*>(name) : nullptr;
}

bool refusedAddress(const platform::ui::EditGrid& grid, int row, int column) {
    const QString refusal = AddressRefusal(grid.cellText(row, column));
    if (refusal.isEmpty())
        return false;
    platform::ui::msgBox(refusal, platform::ui::Buttons::Ok, core::appTitle());
    return true;
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool showingAuthors() {
    return core::gOptions && core::gOptions->AdminControl;
}

QString accountKindShown() {
    return showingAuthors() ? QStringLiteral("Author") : QStringLiteral("Robot");
}

QList<int> requiredAccountCells() {
    if (showingAuthors())
        return {kAdminName, kAdminEmail};
    return {kAdminName, kAdminEmail, kAdminMailServer, kAdminPop3Account, kAdminPop3Server};
}

QString masterConnection() {
    if (!core::gCnn)
        throw std::runtime_error("The connection descriptor is not set up.");
    return core::gCnn->LumiCnn();
}

TableQuery::TableQuery()
    : query_(std::make_unique<core::cDB2>()) {}

TableQuery TableQuery::forShowing(const QString& sql, const QVariantList& params) {
    TableQuery query;
    query.hasRows_ = query.query_->GetRecordset(sql, query.rows_, params) == core::QueryObject::kRows;
    return query;
}

TableQuery TableQuery::forChanging(const QString& sql, const QVariantList& params) {
    TableQuery query;
    query.query_->SetConnection();
    query.rows_ = platform::db::Recordset::open(query.query_->Cnn(), sql, params);
    query.hasRows_ = !query.rows_.eof();
    return query;
}

} // namespace admin::detail
