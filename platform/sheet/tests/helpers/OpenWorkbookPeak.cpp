// Test helper: opens a workbook file read-only, as a look at one sheet when a sheet name is
// given, and says what came of it -- "opened" or the layer's refusal -- and then the peak memory
// the process took ("peak <megabytes>"), which the limits tests hold to what a workbook needs.
//   sheet_open_peak PATH [SHEET]
#include "platform/sheet/SheetError.h"
#include "platform/sheet/Workbook.h"
#include "support/PeakMemory.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 2)
        return 2;
    platform::sheet::OpenOptions options = platform::sheet::OpenOptions::readOnlyAccess();
    if (args.size() > 2)
        options.onlySheet = args[2];
    try {
        platform::sheet::Workbook::open(args[1], options);
        std::printf("opened\n");
    } catch (const platform::sheet::SheetError& error) {
        std::printf("refused: %s\n", qPrintable(error.description()));
    }
    std::printf("peak %.1f\n", testsupport::peakMegabytes());
    return 0;
}
