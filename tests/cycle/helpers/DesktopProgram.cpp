// Test helper: the desktop program's view of the budget "Plan" of the master database that
// LUMIVANE_COMMON_FILES leads to, from a process of its own while the add-in works in another:
// prints the Budgets Explorer's status grid ("status: <user file>|<email sent>|<update>"), then
// runs its update run in accept mode, every question answered with its first button, and prints
// the questions asked and "done".
//   cycle_desktop_program
#include "HelperSetup.h"
#include "lumidesk/frmDataTable.h"
#include "platform/ui/DataGrid.h"
#include "workbooks/UpdateRun.h"
#include "workbooks/cUpdate.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    testsupport::ScriptedUi& ui = cyclehelper::setUpDesktopProgram();
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
    for (const QString& text : ui.messageTexts())
        std::printf("asked: %s\n", qPrintable(text));
    std::printf("done\n");
    std::fflush(stdout);
    return 0;
}
