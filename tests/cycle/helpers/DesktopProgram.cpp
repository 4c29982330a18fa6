// Test helper: the desktop program on the budget "Plan" of the master database that
// LUMIVANE_COMMON_FILES leads to, from a process of its own while the add-in works in another.
// Without arguments it prints the Budgets Explorer's status grid ("status: <user file>|<email
// sent>|<update>"), then runs its update run in accept mode. With "delete-worksheet <name>" it
// deletes that worksheet's records on the Setup Budget Wizard's worksheet page, as the
// administrator does with its Delete button. Every question is answered with its first button;
// the questions asked are printed ("asked: <text>"), then "done".
//   cycle_desktop_program [delete-worksheet <name>]
#include "HelperSetup.h"
#include "lumidesk/frmDataTable.h"
#include "platform/ui/DataGrid.h"
#include "platform/ui/EditGrid.h"
#include "wizard/frmWizard.h"
#include "workbooks/UpdateRun.h"
#include "workbooks/cUpdate.h"

#include <QApplication>
#include <cstdio>

namespace {

void showStatusAndUpdate() {
    {
        lumidesk::frmDataTable explorer;
        const platform::ui::DataGrid& grid = *explorer.dtUFStatus();
        for (int row = 0; row < grid.rowCount(); ++row)
            std::printf(
                "status: %s|%s|%s\n", qPrintable(grid.cellText(row, lumidesk::frmDataTable::kUserFilename)),
                grid.cellText(row, lumidesk::frmDataTable::kEmailSent).isEmpty() ? "not sent" : "sent",
                qPrintable(grid.cellText(row, lumidesk::frmDataTable::kUserFileUpdate)));
        explorer.close();
    }
    workbooks::UpdateMasterFilesCommand({QStringLiteral("Plan"), {}, workbooks::kAcceptChanges});
}

void deleteWorksheet(const QString& name) {
    core::gOptions->WizPageRequest = 4;
    wizard::frmWizard form;
    form.show();
    platform::ui::EditGrid& sheets = *form.dtWorksheets();
    for (int row = 0; row < sheets.rowCount(); ++row)
        if (sheets.cellText(row, 0) == name)
            sheets.setCurrentCell(row, 0);
    form.cmdDelWS_Click();
    form.close();
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    testsupport::ScriptedUi& ui = cyclehelper::setUpDesktopProgram();
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() == 2 && args[0] == QLatin1String("delete-worksheet"))
        deleteWorksheet(args[1]);
    else
        showStatusAndUpdate();
    for (const QString& text : ui.messageTexts())
        std::printf("asked: %s\n", qPrintable(text));
    std::printf("done\n");
    std::fflush(stdout);
    return 0;
}
