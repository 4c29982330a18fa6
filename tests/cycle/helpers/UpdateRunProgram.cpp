// Test helper: one update run in accept mode over the budget "Plan" of the master database
// that LUMIVANE_COMMON_FILES leads to, every question answered with its first button, as an
// administrator's Update Workbooks does. Prints "running" before the run, then the questions
// asked, and "done" after it;
// the interrupted-cycle test kills it with SIGKILL at random moments in between.
//   cycle_update_run
#include "HelperSetup.h"
#include "workbooks/UpdateRun.h"
#include "workbooks/cUpdate.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    testsupport::ScriptedUi& ui = cyclehelper::setUpDesktopProgram();
    std::printf("running\n");
    std::fflush(stdout);
    workbooks::UpdateMasterFilesCommand({QStringLiteral("Plan"), {}, workbooks::kAcceptChanges});
    for (const QString& text : ui.messageTexts())
        std::printf("asked: %s\n", qPrintable(text));
    std::printf("done\n");
    std::fflush(stdout);
    return 0;
}
