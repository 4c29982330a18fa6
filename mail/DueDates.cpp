// See DueDates.h. Rows are chosen by the budget's name (equal, ignoring case) or by their key,
// so a budget whose name contains another's never touches the other's rows.
#include "mail/DueDates.h"

#include "core/ErrorMessage.h"
#include "core/RunGuard.h"
#include "core/SystemOps.h"
#include "core/cDB2.h"
#include "core/cOptions.h"
#include "mail/MailContext.h"
#include "mail/MailHooks.h"
#include "mail/SendMailPanel.h"
#include "platform/ui/EditGrid.h"
#include "workbooks/WorkbookServices.h"

#include <QCheckBox>

namespace mail {

namespace {

const QString kNoRecords = QStringLiteral("There are no records to process.");

// False, after the message, when the budget had no user files.
bool writeDueDates(SendMailPanel& window, const QString& context, const QDate& date) {
    core::cDB2 query;
    query.SetConnection();
    platform::ui::EditGrid* grid = window.dtSendMail();
    if (window.chkDueDateAll()->isChecked()) {
        if (query.Cnn().execute(
                QStringLiteral(
                    "UPDATE UserFileTablesData SET Due_Date = ? WHERE Budget_Name = ? COLLATE NOCASE_U"),
                {date, context}) == 0) {
            tell(kNoRecords);
            return false;
        }
        for (int row = 0; row < grid->rowCount(); ++row)
            grid->setCellValue(row, SendMailPanel::kDueDate, dueDateText(date));
        return true;
    }
    for (int row : grid->selectedRows()) {
        if (grid->cellText(row, SendMailPanel::kUserFilename).isEmpty())
            continue;
        if (query.Cnn().execute(
                QStringLiteral("UPDATE UserFileTablesData SET Due_Date = ? WHERE ID_UFTD = ?"),
                {date, grid->cellValue(row, SendMailPanel::kUserFileId)}) == 1)
            grid->setCellValue(row, SendMailPanel::kDueDate, dueDateText(date));
    }
    return true;
}

} // namespace

void SetDueDateForAll(SendMailPanel& window) {
    if (core::RunGuard::refuseDuringRun() || !core::gOptions)
        return;
    const QString context = budgetContext();
    if (context.isEmpty()) {
        tell(QStringLiteral("Set the Budget Context."));
        return;
    }
    const QDate date = QDate::fromString(core::gOptions->DueDate, Qt::ISODate);
    try {
        if (!writeDueDates(window, context, date))
            return;
        core::gOptions->DueDate.clear();
        window.setDueDate(date);
        workbooks::CheckUserFilesExist(true, 0);
        RefreshExplorerStatusGrid();
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error);
    }
}

void ResetMailStatus() {
    if (core::RunGuard::refuseDuringRun())
        return;
    const QString context = budgetContext();
    if (context.isEmpty()) {
        tell(QStringLiteral("Set the Budget Context."));
        return;
    }
    try {
        const QString master = core::gOptions ? core::gOptions->MasterFilename : QString();
        core::cDB2 query;
        query.SetConnection();
        const qint64 cleared = query.Cnn().execute(
            QStringLiteral(
                "UPDATE UserFileTablesData SET Due_Date = NULL, Email_Sent = NULL, UserFile_Update = 0, "
                "Lockout_User_Updates = 0 WHERE Budget_Name = ? COLLATE NOCASE_U "
                "AND (? = '' OR Master_File = ? COLLATE NOCASE_U)"),
            {context, master, master});
        if (cleared == 0) {
            tell(kNoRecords);
            return;
        }
        workbooks::CheckUserFilesExist(false, 0);
        RefreshExplorerStatusGrid();
        for (SendMailPanel* panel : SendMailPanel::loadedPanels()) {
            panel->FillSendMailGrid();
            panel->setDueDate({});
        }
    } catch (const std::exception& error) {
        core::ShowErrorMessage(error);
    }
}

} // namespace mail
