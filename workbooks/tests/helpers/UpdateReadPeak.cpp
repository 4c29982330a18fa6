// Test helper: merges a returned user file into a sheet of the master workbook as the update run
// does in accept mode -- the update engine in surroundings of its own (a copy of the master
// database, options, a dialog service answering with the first button) -- and says what came of
// it: the engine's answer ("result <n>"), each message it showed ("message: ..."), the rule the
// merge broke if any ("broken: ..."), then the peak memory of the process ("peak <megabytes>").
//   workbooks_update_read_peak MASTER USER_FILE SHEET whole|values
#include "support/PeakMemory.h"
#include "workbooks/fuzz/FuzzUpdateRead.h"
#include "workbooks/fuzz/UpdateReadEnvironment.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    QFile master(args.value(1));
    if (args.size() != 5 || !master.open(QIODevice::ReadOnly))
        return 2;
    workbooks::fuzz::UpdateReadEnvironment environment(QStringLiteral(LUMIVANE_MASTER_DB));
    const workbooks::fuzz::Merge merge = workbooks::fuzz::mergeReturnedFile(
        master.readAll(), args[3], args[2], args[4] == QLatin1String("values"));
    std::printf("result %d\n", merge.result);
    for (QString text : environment.takeMessages())
        std::printf("message: %s\n", qPrintable(text.replace(u'\n', u' ').replace(u'\r', u' ')));
    if (!merge.broken.isEmpty())
        std::printf("broken: %s\n", qPrintable(merge.broken));
    std::printf("peak %.1f\n", testsupport::peakMegabytes());
    return 0;
}
