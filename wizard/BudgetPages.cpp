// See BudgetPages.h.
#include "wizard/BudgetPages.h"

#include "core/AppTitle.h"
#include "core/BudgetContextName.h"
#include "core/ErrorMessage.h"
#include "core/cConnection.h"
#include "core/cDB2.h"
#include "core/cOptions.h"
#include "lumistore/cClean.h"
#include "platform/sys/PlaceholderRow.h"
#include "platform/ui/EditGrid.h"
#include "platform/ui/Ui.h"
#include "wizard/frmWizard.h"

#include <QDateTime>
#include <QLineEdit>
#include <QStringList>

namespace wizard {

namespace {

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The field of the recordset whose name is the administrator's (letter case aside), or -1.
int grantField(const platform::db::Recordset& rows, const QString& administrator) {
    for (int field = 0; field < rows.fieldCount(); ++field) {
        if (sameName(rows.fieldName(field), administrator))
            return field;
    }
    return -1;
}

} // namespace

bool NewBudgetNameAccepted(QLineEdit& box) {
    const QString name = box.text();
    QString refusal;
    if (name.trimmed().isEmpty() || sameName(name, platform::sys::kPlaceholderText))
        refusal = kEnterValidNameText;
    else if (name.contains(QLatin1Char('\'')))
        refusal = kApostropheText;
    if (refusal.isEmpty())
        return true;
    platform::ui::msgBox(refusal, platform::ui::Buttons::Ok, core::appTitle());
    if (refusal == kApostropheText)
        box.setText(QString(name).remove(QLatin1Char('\'')));
    return false;
}

bool ContextBudgetChosen(const QString& refusal) {
    if (core::HasContextBudget())
        return true;
    platform::ui::msgBox(refusal, platform::ui::Buttons::Ok, core::appTitle());
    return false;
}

AddBudgetResult AddBudgetRecord(const QString& name, const QString& author) {
    try {
        core::cDB2 query;
        platform::db::Recordset rows;
        const qint32 found = query.GetRecordset(QStringLiteral("SELECT * FROM Budgets"), rows);
        if (found != core::QueryObject::kRows && found != core::QueryObject::kNoRows)
            throw platform::db::DbError(platform::db::DbError::kInvalidOperation,
                                        QStringLiteral("The Budgets table could not be read."));
        for (; !rows.eof(); rows.moveNext()) {
            if (sameName(rows.value(0).toString(), name))
                return AddBudgetResult::NameExists;
        }
        const core::cOptions& options = *core::gOptions;
        int grant = -1;
        if (options.DatabaseMode == QStringLiteral("Network")) {
            grant = grantField(rows, options.LumiAdminUserName);
            if (grant < 0) {
                platform::ui::msgBox(kNoAdminUserText, platform::ui::Buttons::Ok, core::appTitle());
                return AddBudgetResult::Failed;
            }
        }
        rows.addNew();
        rows.setValue(QStringLiteral("Budget_Name"), name);
        rows.setValue(QStringLiteral("Budget_Date"), QDateTime::currentDateTime());
        rows.setValue(QStringLiteral("Admin_Name"), author);
        rows.setValue(QStringLiteral("Active"), 1);
        if (grant >= 0)
            rows.setValue(grant, options.LumiAUID);
        rows.update();
        core::gOptions->LastRecOK = true;
        return AddBudgetResult::Added;
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error);
        return AddBudgetResult::Failed;
    }
}

bool BudgetNameIsUnique(const QString& name) {
    core::cDB2 query;
    platform::db::Recordset rows;
    if (query.GetRecordset(QStringLiteral("SELECT Budget_Name FROM Budgets WHERE Budget_Name IS NOT NULL"),
                           rows) != core::QueryObject::kRows) {
        lumistore::cClean clean;
        clean.SweepRecords(core::gCnn->LumiCnn(), QStringLiteral("Budgets"));
        return true;
    }
    for (; !rows.eof(); rows.moveNext()) {
        if (sameName(rows.value(0).toString(), name))
            return false;
    }
    return true;
}

void FillWizardAuthorList() {
    QStringList names;
    {
        core::cDB2 query;
        platform::db::Recordset rows;
        if (query.GetRecordset(QStringLiteral("SELECT Admin_Name FROM Admin"), rows) ==
            core::QueryObject::kRows) {
            for (; !rows.eof(); rows.moveNext())
                names << rows.value(0).toString();
        } else {
            platform::ui::msgBox(kNoAdminRecordsText, platform::ui::Buttons::Ok, QStringLiteral("Lumi"));
        }
    }
    if (frmWizard* form = frmWizard::loaded())
        form->dtBudgets()->setColumnList(frmWizard::kBudgetAuthor, names.join(QLatin1Char('\t')));
}

} // namespace wizard
